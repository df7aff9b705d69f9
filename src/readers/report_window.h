// The change report frmInfo: who subscribed (List1), unsubscribed (List2)
// and changed nickname (List3, under its column header), the counts, the
// reader total and the period, and the buttons XpB1 (accept) and XpB2
// (close). The decisions live in ReportModel.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "controls/xp_button.h"
#include "readers/report_model.h"
#include "win32/dpi_layout.h"
#include "win32/handle.h"
#include "win32/window.h"

namespace tw {

inline constexpr int kReportClientWidth = 640;
inline constexpr int kReportClientHeight = 440;
inline constexpr wchar_t kReportClassName[] = L"TallywickReport";
// Control ids (tests find the controls by them): LabelN is kReportLabel + N.
inline constexpr int kReportLabelBase = 1000;
inline constexpr int kReportList1 = 1101;
inline constexpr int kReportList2 = 1102;
inline constexpr int kReportList3 = 1103;
inline constexpr int kReportWarning = 1020;      // the red line of a list that may be incomplete
inline constexpr int kReportHistoryLink = 1021;  // "История изменений"
inline constexpr int kReportXpB1 = 1201;
inline constexpr int kReportXpB2 = 1202;
inline constexpr int kReportHeaderHeight = 20;
inline constexpr int kReportColumnWidth = 127;

class ReportWindow : public win::Window, private ReportView {
 public:
  // `id` is Settings.ID, `ownerNick` the nickname the parser found,
  // `announcedTotal` the reader total the page announced.
  ReportWindow(std::filesystem::path programFolder, std::string id, std::string ownerNick,
               std::optional<std::size_t> announcedTotal = std::nullopt);
  ~ReportWindow() override;

  // Creates the window hidden and runs its load handler (the comparison);
  // false when there is no report to show.
  bool Load();
  void Show(int show = SW_SHOW);

  // Called once the window is gone, however it was closed.
  std::function<void()> onClosed;
  // Message boxes go through these when set (tests answer them).
  std::function<bool(const std::string&)> askHook;

  ReportModel& Model() { return model_; }
  HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  HWND Label(int n) const { return Control(kReportLabelBase + n); }
  HWND List(ReportList list) const;
  HWND Header() const { return header_; }
  XpButton& XpB1() { return accept_; }
  XpButton& XpB2() { return close_; }
  // Picture1..Picture4: accept normal, accept hovered, close normal, close hovered.
  HBITMAP Picture(int n) const {
    const XpHoverPictures& pair = n <= 2 ? acceptPictures_ : closePictures_;
    return n % 2 == 1 ? pair.Normal() : pair.Hover();
  }
  UINT Dpi() const { return layout_.Dpi(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalDestroy() noexcept override;

 private:
  // ReportView
  void ShowTexts(const ReportTexts& texts) override;
  void FillList(ReportList list, const std::vector<std::string>& items) override;
  void ShowMessage(const std::string& text) override;
  bool AskWarning(const std::string& question) override;
  void OpenUrl(const std::string& url) override;
  void Close() override;

  void CreateControls();
  HWND AddLabel(int n, std::string_view text, int x, int y, int width);
  HWND AddList(int id, int x, int y, int width, int height, bool tabStops);
  void OnCommand(int id, int code);
  void ApplyDpi(UINT dpi, const RECT* suggested = nullptr);
  // Lets a list scroll sideways as far as its longest line reaches.
  void FitHorizontalExtent(HWND list);

  LocalFileTimeFormatter formatter_;
  ReportModel model_;
  XpHoverPictures acceptPictures_;  // Picture1, Picture2
  XpHoverPictures closePictures_;   // Picture3, Picture4
  XpButton accept_;
  XpButton close_;
  HWND header_ = nullptr;
  std::filesystem::path programFolder_;
  std::string id_;
  win::DpiLayout layout_;
};

}  // namespace tw
