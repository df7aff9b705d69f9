// The change report frmInfo without its windows: the texts of its labels,
// what a double-click opens, and what accepting or closing does.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "readers/change_report.h"
#include "text/cp1251.h"

namespace tw {

inline constexpr auto kReportCaption = cp1251("Изменения в профиле");
inline constexpr auto kReportLabel1 = cp1251("Подписались");
inline constexpr auto kReportLabel2 = cp1251("Отписались");
inline constexpr auto kReportLabel3 = cp1251("Сменили имя");
inline constexpr auto kReportLabel5 = cp1251("Информация за период");
inline constexpr auto kReportLabel8 = cp1251("Постоянных читателей:");
inline constexpr auto kReportLabel10 = cp1251("Нет изменений со времени последней проверки.");
inline constexpr auto kReportOldNameColumn = cp1251("Старое имя");
inline constexpr auto kReportNewNameColumn = cp1251("Новое имя");

// The error box when the profile's snapshot is there but cannot be read.
std::string SnapshotUnreadableMessage(std::string_view id);

enum class ReportList { List1, List2, List3 };

inline constexpr auto kHistoryLinkText = cp1251("История изменений");

// Every label text the report sets when it loads; Label5 and Label8 are fixed.
// Without a new list the labels keep their design texts.
struct ReportTexts {
  std::string Label1, Label2, Label3, Label4, Label6, Label7, Label9;
  bool Label10Visible = false;
  // The red line under the counts when the list may be incomplete; empty
  // otherwise.
  std::string Warning;
};
ReportTexts MakeReportTexts(const ChangeReportData& data, std::string_view id, std::string_view ownerNick,
                            std::optional<std::size_t> announcedTotal = std::nullopt);

// The guard against a list the service cut short: the page announced a
// total and the list holds another number of readers (a page without a
// number has no guard).
bool ListMayBeIncomplete(std::size_t got, std::optional<std::size_t> announced);
std::string IncompleteListWarning(std::size_t got, std::size_t announced);
std::string IncompleteListQuestion(std::size_t got, std::size_t announced);

// "Подписались (" + count + ")" and its two siblings.
std::string CountLabel(std::string_view title, std::size_t count);

// The member's profile page on the service's main host.
std::string MemberPageUrl(std::string_view memberId);

// What the window shows and does; the Win32 window implements it.
class ReportView {
 public:
  virtual ~ReportView() = default;
  virtual void ShowTexts(const ReportTexts& texts) = 0;
  virtual void FillList(ReportList list, const std::vector<std::string>& items) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  // Yes/No with the warning icon, title "Внимание!"; true for Yes.
  virtual bool AskWarning(const std::string& question) = 0;
  virtual void OpenUrl(const std::string& url) = 0;
  virtual void Close() = 0;
};

class ReportModel {
 public:
  // `announcedTotal` is the reader total the page announced, if any.
  ReportModel(ReportView& view, std::filesystem::path programFolder, std::string id, std::string ownerNick,
              const FileTimeFormatter& formatter, std::optional<std::size_t> announcedTotal = std::nullopt);

  // Form_Load after the pictures and the header: the comparison and every
  // text. False after the error box of an unreadable snapshot: the report
  // must not be shown, and nothing was changed.
  bool Load();
  // XpB1. A list that may be incomplete is stored only when the user says
  // so. A snapshot or history that could not be written keeps the window
  // open, so the user sees the changes still and can try again; tmp.id
  // stays.
  void OnAccept();
  // XpB2: tmp.id and the snapshot stay as they are.
  void OnCloseClick();
  // A double-click with `selected` the list's selected index (-1 for none).
  void OnDoubleClick(ReportList list, int selected);

  const ChangeReportData& Data() const { return data_; }
  const std::vector<std::string>& IDs(ReportList list) const;

 private:
  ReportView& view_;
  std::filesystem::path programFolder_;
  std::string id_;
  std::string ownerNick_;
  const FileTimeFormatter& formatter_;
  std::optional<std::size_t> announcedTotal_;
  ChangeReportData data_;
  bool historyWritten_ = false;  // an earlier try left its record in the history
};

}  // namespace tw
