#include "readers/report_model.h"

#include <utility>

#include "deployment.h"

namespace tw {

std::string CountLabel(std::string_view title, std::size_t count) {
  std::string text(title);
  text += " (";
  text += std::to_string(count);
  text += ")";
  return text;
}

std::string SnapshotUnreadableMessage(std::string_view id) {
  return cp1251("Не удалось прочитать сохранённый список читателей профиля ") + std::string(id) +
         cp1251(" (файл ") + std::string(id) +
         cp1251(
             ".id в папке программы).\r\n\r\nНичего не изменено: прежний список и новый (tmp.id) "
             "остались как были.");
}

bool ListMayBeIncomplete(std::size_t got, std::optional<std::size_t> announced) {
  return announced && *announced != got;
}

std::string IncompleteListWarning(std::size_t got, std::size_t announced) {
  return cp1251("Получено читателей: ") + std::to_string(got) + cp1251(" из ") + std::to_string(announced) +
         cp1251(", указанных на странице. Список может быть неполным.");
}

std::string IncompleteListQuestion(std::size_t got, std::size_t announced) {
  return cp1251("Список читателей может быть неполным: получено ") + std::to_string(got) + cp1251(" из ") +
         std::to_string(announced) + cp1251(".\r\n\r\nВсё равно сохранить его?");
}

ReportTexts MakeReportTexts(const ChangeReportData& data, std::string_view id, std::string_view ownerNick,
                            std::optional<std::size_t> announcedTotal) {
  const ChangeReport& report = data.report;
  ReportTexts texts;
  texts.Label4 = cp1251("Результат для ID=") + std::string(id);
  texts.Label7 = std::string(ownerNick);
  if (data.input != ReportInput::Compared) {
    texts.Label1 = kReportLabel1;
    texts.Label2 = kReportLabel2;
    texts.Label3 = kReportLabel3;
    return texts;
  }
  texts.Label1 = CountLabel(kReportLabel1, report.Subscribed.size());
  texts.Label2 = CountLabel(kReportLabel2, report.Unsubscribed.size());
  texts.Label3 = CountLabel(kReportLabel3, report.Renamed.size());
  texts.Label6 = data.period;
  texts.Label9 = std::to_string(report.newLineCount);
  texts.Label10Visible = report.NoChanges();
  if (ListMayBeIncomplete(report.newLineCount, announcedTotal)) {
    texts.Warning = IncompleteListWarning(report.newLineCount, *announcedTotal);
  }
  return texts;
}

std::string MemberPageUrl(std::string_view memberId) {
  return std::string("http://") + deploy::kMainHost + "/member/?" + std::string(memberId);
}

ReportModel::ReportModel(ReportView& view, std::filesystem::path programFolder, std::string id,
                         std::string ownerNick, const FileTimeFormatter& formatter,
                         std::optional<std::size_t> announcedTotal)
    : view_(view),
      programFolder_(std::move(programFolder)),
      id_(std::move(id)),
      ownerNick_(std::move(ownerNick)),
      formatter_(formatter),
      announcedTotal_(announcedTotal) {}

bool ReportModel::Load() {
  data_ = BuildChangeReport(programFolder_, id_, formatter_);
  if (data_.input == ReportInput::SnapshotUnreadable) {
    view_.ShowMessage(SnapshotUnreadableMessage(id_));
    return false;
  }
  view_.FillList(ReportList::List1, data_.report.Subscribed);
  view_.FillList(ReportList::List2, data_.report.Unsubscribed);
  view_.FillList(ReportList::List3, data_.report.Renamed);
  view_.ShowTexts(MakeReportTexts(data_, id_, ownerNick_, announcedTotal_));
  return true;
}

void ReportModel::OnAccept() {
  // Only a list that was compared and shown may replace the snapshot.
  if (data_.input != ReportInput::Compared) {
    view_.Close();
    return;
  }
  const std::size_t got = data_.report.newLineCount;
  if (ListMayBeIncomplete(got, announcedTotal_) &&
      !view_.AskWarning(IncompleteListQuestion(got, *announcedTotal_))) {
    return;
  }
  const AcceptResult result = AcceptNewList(programFolder_, id_, data_.report, formatter_, historyWritten_);
  if (result == AcceptResult::NotStoredHistoryKept) historyWritten_ = true;
  const std::string message = AcceptMessage(result, id_);
  if (!message.empty()) view_.ShowMessage(message);
  if (result == AcceptResult::NotStored || result == AcceptResult::NotStoredHistoryKept ||
      result == AcceptResult::HistoryNotWritten) {
    return;
  }
  view_.Close();
}

void ReportModel::OnCloseClick() { view_.Close(); }

const std::vector<std::string>& ReportModel::IDs(ReportList list) const {
  switch (list) {
    case ReportList::List1:
      return data_.report.SubscribedIDs;
    case ReportList::List2:
      return data_.report.UnsubscribedIDs;
    case ReportList::List3:
      break;
  }
  return data_.report.ChangedNickIDs;
}

void ReportModel::OnDoubleClick(ReportList list, int selected) {
  const std::vector<std::string>& ids = IDs(list);
  if (selected < 0 || static_cast<std::size_t>(selected) >= ids.size()) return;
  view_.OpenUrl(MemberPageUrl(ids[static_cast<std::size_t>(selected)]));
}

}  // namespace tw
