#include "autocheck/background_run.h"

#include <charconv>

#include "files/atomic_file.h"
#include "readers/change_report.h"
#include "readers/report_model.h"
#include "settings/settings.h"
#include "text/cp1251.h"

namespace tw {

namespace {

bool SameSwitch(std::u16string_view argument, std::u16string_view name) {
  if (argument.size() != name.size() + 1 || (argument[0] != u'/' && argument[0] != u'-')) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char16_t c = argument[i + 1];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    if (c != name[i]) return false;
  }
  return true;
}

std::optional<std::size_t> Number(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// One line: a multi-line message keeps its words.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == '\t') {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

StartMode ParseStartMode(const std::vector<std::u16string>& arguments) {
  if (arguments.empty()) return StartMode::Normal;
  if (SameSwitch(arguments[0], u"check")) return StartMode::Check;
  if (SameSwitch(arguments[0], u"report")) return StartMode::Report;
  if (SameSwitch(arguments[0], u"notify")) return StartMode::Notify;
  return StartMode::Normal;
}

std::string NoticeTitle(const CheckNotice& notice) {
  if (notice.firstList) return cp1251("Tallywick: список читателей профиля ") + notice.ID;
  return cp1251("Tallywick: изменения в профиле ") + notice.ID;
}

std::string NoticeText(const CheckNotice& notice) {
  std::string text;
  if (notice.firstList) {
    // Nothing was stored to compare with: every reader would count as new.
    text =
        cp1251("Первый список читателей (") + std::to_string(notice.total) + cp1251(") готов к сохранению.");
  } else {
    text = cp1251("Подписались: ") + std::to_string(notice.subscribed) + cp1251(", отписались: ") +
           std::to_string(notice.unsubscribed) + cp1251(", сменили имя: ") + std::to_string(notice.renamed);
  }
  if (notice.mayBeIncomplete) text += "\r\n" + cp1251("Список может быть неполным.");
  return text;
}

std::vector<std::string> NoticeArguments(const CheckNotice& n) {
  std::string flags;
  if (n.firstList) flags += 'f';
  if (n.mayBeIncomplete) flags += 'i';
  if (flags.empty()) flags = "-";
  return {n.ID,
          std::to_string(n.subscribed),
          std::to_string(n.unsubscribed),
          std::to_string(n.renamed),
          std::to_string(n.total),
          flags};
}

std::optional<CheckNotice> ParseNoticeArguments(const std::vector<std::string>& arguments) {
  if (arguments.size() != 6 || !IsValidProfileId(arguments[0])) return std::nullopt;
  CheckNotice notice;
  notice.ID = arguments[0];
  std::size_t* counts[] = {&notice.subscribed, &notice.unsubscribed, &notice.renamed, &notice.total};
  for (std::size_t i = 0; i < 4; ++i) {
    const std::optional<std::size_t> value = Number(arguments[i + 1]);
    if (!value) return std::nullopt;
    *counts[i] = *value;
  }
  const std::string& flags = arguments[5];
  if (flags != "-" && flags.find_first_not_of("fi") != std::string::npos) return std::nullopt;
  notice.firstList = flags.find('f') != std::string::npos;
  notice.mayBeIncomplete = flags.find('i') != std::string::npos;
  return notice;
}

BackgroundFinding FindChanges(const std::filesystem::path& programFolder, std::string_view id,
                              std::string_view listText, std::optional<std::size_t> announcedTotal) {
  BackgroundFinding finding;
  finding.announcedTotal = announcedTotal;
  const ReaderList fresh = ParseReaderList(listText);
  std::optional<ReaderList> old;
  if (const auto snapshot = SnapshotFilePath(programFolder, id)) {
    old = ReadReaderListFile(*snapshot);
    if (!old && MayExist(*snapshot)) {
      finding.error = SnapshotUnreadableMessage(id);
      return finding;
    }
  }
  finding.firstList = !old.has_value();
  finding.report = CompareReaderLists(fresh, old.value_or(ReaderList{}));
  return finding;
}

BackgroundOutcome DecideBackgroundRun(std::string_view id, const BackgroundFinding& finding) {
  BackgroundOutcome outcome;
  if (!finding.error.empty()) {
    // The scheduler sees a failed run; nothing is shown, the options window
    // tells the error.
    outcome.exitCode = 1;
    outcome.resultText = OneLine(finding.error);
    return outcome;
  }
  const ChangeReport& r = finding.report;
  CheckNotice notice;
  notice.ID = std::string(id);
  notice.subscribed = r.Subscribed.size();
  notice.unsubscribed = r.Unsubscribed.size();
  notice.renamed = r.Renamed.size();
  notice.total = r.newLineCount;
  notice.firstList = finding.firstList;
  notice.mayBeIncomplete = ListMayBeIncomplete(r.newLineCount, finding.announcedTotal);
  if (notice.firstList) {
    outcome.resultText =
        cp1251("первый список читателей (") + std::to_string(notice.total) + cp1251("), ещё не сохранён");
  } else if (r.NoChanges()) {
    outcome.resultText = cp1251("без изменений");
  } else {
    outcome.resultText = "+" + std::to_string(notice.subscribed) + " -" +
                         std::to_string(notice.unsubscribed) + " ~" + std::to_string(notice.renamed);
  }
  if (notice.mayBeIncomplete) outcome.resultText += cp1251(", список может быть неполным");
  if (notice.firstList || !r.NoChanges() || notice.mayBeIncomplete) outcome.notice = notice;
  return outcome;
}

std::string CheckResultFileText(std::string_view timeText, std::string_view resultText) {
  return std::string(timeText) + "\t" + OneLine(resultText) + "\r\n";
}

std::string LastCheckText(const std::filesystem::path& programFolder) {
  const std::optional<std::string> bytes = ReadFileBytes(programFolder / kCheckResultFile);
  if (!bytes) return {};
  std::string_view text(*bytes);
  text = text.substr(0, text.find_first_of("\r\n"));
  const std::size_t tab = text.find('\t');
  if (tab == std::string_view::npos || tab == 0 || tab + 1 == text.size()) return {};
  return cp1251("Последняя проверка: ") + std::string(text.substr(0, tab)) + cp1251(" — ") +
         std::string(text.substr(tab + 1));
}

}  // namespace tw
