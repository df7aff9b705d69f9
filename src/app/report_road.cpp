#include <memory>

#include "app/application.h"
#include "app/roads.h"
#include "readers/report_window.h"

namespace tw {

// The report of the watched profile. However it is closed, the check ends on
// the main window with command 1 drawn in its normal look.
void OpenReport(Application& app, const std::string& ownerNick, std::optional<std::size_t> announcedTotal) {
  auto window = std::make_unique<ReportWindow>(app.Values().programFolder, app.Values().settings.ID,
                                               ownerNick, announcedTotal);
  ReportWindow* report = window.get();
  report->onClosed = [&app, report] {
    app.ShowMain();
    if (app.Main() != nullptr) app.Main()->Model().RestoreButton(1);
    app.Drop(report);
  };
  app.Keep(std::move(window));
  report->OpenOn(app.Screen());
  if (!report->Load()) {
    report->onClosed = nullptr;
    app.Drop(report);
    app.ShowMain();
    if (app.Main() != nullptr) app.Main()->Model().RestoreButton(1);
    return;
  }
  report->Show();
}

}  // namespace tw
