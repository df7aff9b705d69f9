// Any history text (the file may have been edited by hand): no crash, every
// event counted once, and the chart's points inside its rectangle.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "readers/history_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tw::History history = tw::ParseHistory(std::string_view(reinterpret_cast<const char*>(data), size));
  if (history.came + history.left + history.renamed != history.events.size()) std::abort();
  for (const tw::HistoryEvent& event : history.events) (void)tw::HistoryEventLine(event);
  const tw::ChartRect plot{10, 10, 410, 210};
  const tw::ChartLayout chart = tw::LayoutChart(history.points, plot);
  for (const tw::ChartPoint& p : chart.points) {
    if (!(p.x >= plot.left - 1e-6 && p.x <= plot.right + 1e-6 && p.y >= plot.top - 1e-6 &&
          p.y <= plot.bottom + 1e-6)) {
      std::abort();
    }
  }
  return 0;
}
