#include "readers/profile_parser.h"

#include <charconv>
#include <string_view>

#include "files/atomic_file.h"
#include "settings/settings.h"
#include "text/bytes.h"
#include "text/cp1251.h"

namespace tw {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// True when `what` stands in `text` at `pos`; false past the end.
bool At(std::string_view text, std::size_t pos, std::string_view what) {
  return pos <= text.size() && text.substr(pos).starts_with(what);
}

// The owner's nickname: the text between the first "<p><b>" that begins two
// characters after the heading and the next "</b>". A "</b>" met before any
// "<p><b>" leaves the nickname empty. A page that ends before the closing
// "</b>" (a truncated download) has no nickname either: the scan stops at
// the end of the text instead of running on.
std::string ScanOwnerNick(std::string_view text) {
  constexpr auto kHeading = cp1251("<h1>Профиль пользователя</h1>");
  const std::size_t heading = Find(text, kHeading.view());
  if (heading == std::string_view::npos) return {};
  std::string nick;
  bool inName = false;
  for (std::size_t i = heading + kHeading.view().size() + 2; i + 6 < text.size(); ++i) {
    if (At(text, i, "<p><b>")) inName = true;
    if (inName) nick += text[i + 6];
    if (At(text, i + 7, "</b>")) return nick;
  }
  return {};
}

std::string NotFoundMessage(std::string_view id) {
  return cp1251("Пользователь с ID=") + id + cp1251(" не найден");
}

std::string UnknownError1() { return cp1251("Неизвестная ошибка обработки профиля 1"); }

std::string UnknownError2() {
  return cp1251("Неизвестная ошибка обработки профиля 2.") + "\r\n\r\n" +
         cp1251("Попробуйте произвести загрузку еще раз.");
}

std::string WriteFailedMessage() {
  return cp1251("Не удалось записать список читателей в файл tmp.id в папке программы.") + "\r\n\r\n" +
         cp1251(
             "Проверьте, что на диске есть место и папка программы доступна для записи, "
             "и попробуйте произвести загрузку еще раз.");
}

// Cuts `text` before the first `marker`; without it the text stays whole.
void KeepBefore(std::string& text, std::string_view marker) {
  const std::size_t pos = Find(text, marker);
  if (pos != std::string::npos) text.resize(pos);
}

}  // namespace

namespace {

// The length of the blank at the start of `text`: a space, a no-break space
// (the character or its entity), a TAB where `tab` allows it; 0 for none.
std::size_t BlankAt(std::string_view text, bool tab) {
  if (text.empty()) return 0;
  if (text[0] == ' ' || text[0] == '\xA0' || (tab && text[0] == '\t')) return 1;
  for (std::string_view entity : {"&nbsp;", "&#160;"}) {
    if (text.starts_with(entity)) return entity.size();
  }
  return 0;
}

}  // namespace

std::optional<std::size_t> ReadAnnouncedTotal(std::string_view afterMarker) {
  const auto digit = [](std::string_view text) { return !text.empty() && text[0] >= '0' && text[0] <= '9'; };
  while (const std::size_t blank = BlankAt(afterMarker, true)) afterMarker.remove_prefix(blank);
  if (!digit(afterMarker)) return std::nullopt;
  // Digits, also in groups that one blank keeps apart ("1 234").
  std::string digits;
  while (digit(afterMarker)) {
    digits += afterMarker[0];
    afterMarker.remove_prefix(1);
    const std::size_t blank = BlankAt(afterMarker, false);
    if (blank > 0 && digit(afterMarker.substr(blank))) afterMarker.remove_prefix(blank);
  }
  std::size_t total = 0;
  const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), total);
  if (error != std::errc() || stop != digits.data() + digits.size()) return std::nullopt;
  return total;
}

std::string ParseProfileText(std::string& responseText, std::string& ownerNick, const ParseInput& input,
                             std::optional<std::size_t>* announcedTotal) {
  std::string& text = responseText;
  if (announcedTotal != nullptr) *announcedTotal = std::nullopt;

  if (Contains(text, "<title>Error</title>") && Contains(text, cp1251("Пользователь не найден").view())) {
    return NotFoundMessage(input.ID);
  }

  ownerNick = ScanOwnerNick(text);

  if (Contains(text, cp1251("<h1>Доступ к дополнительной информации закрыт").view())) {
    if (!input.Guest) {
      return cp1251("Для вас закрыт доступ к дополнительной информации профиля пользователя ") + ownerNick;
    }
    return cp1251("Дополнительная информация о профиле пользователя ") + ownerNick +
           cp1251(" закрыта для анонимного доступа.");
  }

  if (!Contains(text, cp1251("Постоянные читатели:</h1>").view())) {
    return cp1251("У пользователя ") + ownerNick + cp1251(" нет постоянных читателей");
  }

  // The reader block: from the "Всего:" link to the end of the paragraph.
  constexpr auto kBlockMarker = cp1251("#readerslist\">Всего:");
  const std::size_t block = Find(text, kBlockMarker.view());
  if (block == std::string::npos) return UnknownError1();
  // The announced total is read before the passes below change the text;
  // the report compares it with the readers actually listed.
  if (announcedTotal != nullptr) {
    *announcedTotal = ReadAnnouncedTotal(std::string_view(text).substr(block + kBlockMarker.view().size()));
  }
  text.erase(0, block);
  ReplaceAllInPlace(text, "  ", " ");
  const std::size_t firstLink = Find(text, "<a href=");
  // No reader link at all: nothing can be listed, the same as a block that
  // turns out empty.
  if (firstLink == std::string::npos) return UnknownError2();
  text.erase(0, firstLink);
  const std::size_t blockEnd = Find(text, "</small></p>");
  if (blockEnd == std::string::npos) {
    text.clear();
  } else {
    text.resize(blockEnd);
  }

  // Each link becomes "ID%nickname"; the order of the passes matters.
  ReplaceAllInPlace(text, "<font color=red>", "");
  ReplaceAllInPlace(text, "</font>", "");
  ReplaceAllInPlace(text, "<b>", "");
  ReplaceAllInPlace(text, "</b>", "");
  ReplaceAllInPlace(text, "&checknewreader", "");
  ReplaceAllInPlace(text, "&lt;", "<");
  ReplaceAllInPlace(text, "&gt;", ">");
  ReplaceAllInPlace(text, "<a href=\"/member/?", "");
  KeepBefore(text, "<small style=");
  ReplaceAllInPlace(text, "\">", "%");
  ReplaceAllInPlace(text, "</a>, ", kCrLf);
  ReplaceAllInPlace(text, "</a>", "");

  if (!Contains(text, "%")) return UnknownError2();
  return {};
}

std::string ParseProfilePage(std::string& responseText, std::string& ownerNick, const ParseInput& input,
                             std::optional<std::size_t>* announcedTotal) {
  std::string message = ParseProfileText(responseText, ownerNick, input, announcedTotal);
  if (!message.empty()) return message;
  std::string& text = responseText;
  // The file ends with CR LF after the last line; appending in place spares
  // a copy of the whole list.
  text.append(kCrLf);
  const bool written =
      WriteFileAtomic(input.programFolder / kTmpListFile, text, {kListTempSuffix, std::nullopt});
  text.resize(text.size() - kCrLf.size());
  if (!written) return WriteFailedMessage();
  return {};
}

}  // namespace tw
