// The history window: the readers of a profile over time as a chart, every
// change ever accepted (newest first), the totals and a link to the file.
// What it shows comes from LoadHistoryPage; the window only draws it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "readers/history_model.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/window.h"

namespace tw {

inline constexpr wchar_t kHistoryClassName[] = L"TallywickHistory";
// The client area at 100 %.
inline constexpr int kHistoryClientWidth = 600;
inline constexpr int kHistoryClientHeight = 520;
// Control ids (tests find the controls by them).
inline constexpr int kHistoryChart = 1301;
inline constexpr int kHistoryTotals = 1302;
inline constexpr int kHistoryList = 1303;
inline constexpr int kHistoryFileLink = 1304;
inline constexpr int kHistoryEmpty = 1305;

class HistoryWindow : public win::Window {
 public:
  HistoryWindow(std::filesystem::path programFolder, std::string id);
  ~HistoryWindow() override;

  // Reads the history and creates the window hidden, centred on `owner`.
  bool Create(HWND owner);
  // Shows it modal over `owner`; returns once it is closed.
  void RunModal(HWND owner);

  const HistoryPage& Page() const { return page_; }
  // The events list's tab stops, in dialog units.
  const std::vector<int>& TabStops() const { return tabStops_; }
  HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  // Draws the chart into `rect` of `dc`; the window paints through it.
  void DrawChart(HDC dc, const RECT& rect) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Every length of the layout is given at 100 % and passes through here.
  int Scale(int value) const { return layout_.Scale(value); }
  void CreateControls();
  // Fonts, children, list and size for `dpi`; `suggested` is where Windows
  // wants the window after a move to another monitor.
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);
  void SetTabStops();
  void FillList();
  void OnDrawItem(const DRAWITEMSTRUCT& item) const;

  std::filesystem::path programFolder_;
  std::string id_;
  HistoryPage page_;
  std::vector<int> tabStops_;
  win::DpiLayout layout_;
};

// Opens the history of profile `id` modal over `owner` and returns once it
// is closed.
void ShowHistoryWindow(HWND owner, const std::filesystem::path& programFolder, const std::string& id);

}  // namespace tw
