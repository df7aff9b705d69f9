// Large, realistic profile pages and reader lists for the benchmarks. A
// reader is written the way the service writes it (and the test pages in
// tests/fixtures/profiles do): a link "/member/?ID" around the nickname,
// ", " between readers, new readers with "&checknewreader" and red bold text,
// some nicknames bold, with character references or double spaces. IDs have
// six to eight digits, nicknames 5 to 47 characters, mostly Cyrillic; a page
// of 100,000 readers is about 6.5 MB.
#pragma once

#include <cstdint>
#include <string>

#include "readers/reader_list.h"
#include "text/cp1251.h"

namespace tw::bench {

// A small fixed generator, so every run builds the same pages.
class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint64_t state_;
};

// Distinct IDs, the i-th of a list always the same.
inline std::string ReaderId(int i) {
  Lcg rng(static_cast<std::uint64_t>(i) * 2 + 1);
  return std::to_string(100000 + static_cast<std::uint64_t>(i) * 397 + rng.Below(397));
}

// The nickname as it stands in the link text (markup-free, entities and
// double spaces included). `salt` gives the same reader another nickname.
inline std::string ReaderNickMarkup(int i, int salt = 0) {
  static const std::string kCyrillic = cp1251("абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЖЗИКЛМНОПРСТУФЭЮЯ");
  static const std::string kLatin = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.";
  Lcg rng(static_cast<std::uint64_t>(i) * 7919 + static_cast<std::uint64_t>(salt) * 104729 + 17);
  const bool latin = rng.Below(4) == 0;
  const std::string& letters = latin ? kLatin : kCyrillic;
  // Mostly 12 to 40 characters, a few shorter or longer.
  const std::uint32_t length = 5 + rng.Below(15) + rng.Below(15) + rng.Below(15);
  std::string nick;
  for (std::uint32_t k = 0; k < length; ++k) {
    const std::uint32_t r = rng.Below(100);
    if (k > 0 && k + 1 < length && r < 6) {
      nick += ' ';
      if (r == 0) nick += ' ';  // double space, one of which the parser drops
    } else if (k > 0 && r == 6) {
      nick += rng.Below(2) ? "&lt;" : "&gt;";
    } else if (k > 0 && r == 7) {
      nick += "&amp;";
    } else {
      nick += letters[rng.Below(static_cast<std::uint32_t>(letters.size()))];
    }
  }
  return nick;
}

inline std::string ReaderLink(int i, int salt = 0) {
  const std::string id = ReaderId(i);
  const std::string nick = ReaderNickMarkup(i, salt);
  switch (Lcg(static_cast<std::uint64_t>(i) + 99).Below(20)) {
    case 0:  // new since the owner last looked
      return "<a href=\"/member/?" + id + "&checknewreader\"><b><font color=red>" + nick + "</font></b></a>";
    case 1:
      return "<a href=\"/member/?" + id + "\"><b>" + nick + "</b></a>";
    default:
      return "<a href=\"/member/?" + id + "\">" + nick + "</a>";
  }
}

inline std::string ProfilePage(int readers) {
  std::string page =
      "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=windows-1251\r\nConnection: close\r\n\r\n"
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\r\n"
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\r\n";
  page +=
      cp1251("<title>Профиль пользователя Хозяин  дневника</title></head>\r\n<body><div id=\"main\">\r\n");
  page += cp1251("<h1>Профиль пользователя</h1>\r\n<p><b>Хозяин  дневника</b> <small>(<a href=\"/~diary/\">");
  page += cp1251("дневник</a>)</small></p>\r\n<p>Дата регистрации: 12.03.2005</p>\r\n");
  page +=
      cp1251("<h1>Постоянные читатели:</h1>\r\n<p><a href=\"/member/?1001&fullreaderslist#readerslist\">");
  page += cp1251("Всего: ") + std::to_string(readers) + "</a><br>\r\n<small>";
  for (int i = 0; i < readers; ++i) {
    if (i) page += ", ";
    page += ReaderLink(i);
  }
  page += cp1251("<small style=\"color:#999\"> (новые отмечены)</small></small></p>\r\n");
  page += cp1251("<h1>Избранное:</h1>\r\n<p><small><a href=\"/member/?7\">Избранный</a>, ");
  page += cp1251("<a href=\"/member/?8\">Другой</a></small></p>\r\n</div></body></html>\r\n");
  page.shrink_to_fit();
  return page;
}

// The list of `readers` readers as the parser leaves it (entities and double
// spaces resolved). With `churn`, every hundredth reader is replaced by a
// new one, and the next one has another nickname: 1 % subscribed, 1 %
// unsubscribed and 1 % renamed against the list without churn.
inline ReaderList Readers(int readers, bool churn) {
  ReaderList list;
  list.entries.reserve(static_cast<std::size_t>(readers));
  for (int i = 0; i < readers; ++i) {
    const bool replaced = churn && i % 100 == 0;
    const int who = replaced ? readers + i : i;
    const int salt = churn && i % 100 == 1 ? 1 : 0;
    std::string nick = ReaderNickMarkup(who, salt);
    std::string plain;
    for (std::size_t k = 0; k < nick.size(); ++k) {
      if (nick.compare(k, 2, "  ") == 0) {
        plain += ' ';
        ++k;
      } else if (nick.compare(k, 4, "&lt;") == 0) {
        plain += '<';
        k += 3;
      } else if (nick.compare(k, 4, "&gt;") == 0) {
        plain += '>';
        k += 3;
      } else {
        plain += nick[k];
      }
    }
    list.Add(ReaderId(who), plain);
  }
  list.lineCount = list.entries.size();
  return list;
}

}  // namespace tw::bench
