// Large, realistic profile pages for the benchmarks.
#pragma once

#include <string>

#include "text/cp1251.h"

namespace tw::bench {

inline std::string ReaderLink(int id, int salt) {
  const std::string nick = "Reader_" + std::to_string(id) + (salt ? "_v" + std::to_string(salt) : "");
  switch (id % 10) {
    case 0:
      return "<a href=\"/member/?" + std::to_string(id) + "&checknewreader\"><b><font color=red>" + nick +
             "</font></b></a>";
    case 1:
      return "<a href=\"/member/?" + std::to_string(id) + "\">" + nick + "&lt;3&gt;  x</a>";
    default:
      return "<a href=\"/member/?" + std::to_string(id) + "\">" + nick + "</a>";
  }
}

inline std::string ProfilePage(int readers) {
  std::string page = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html><body>\r\n";
  page += cp1251("<h1>Профиль пользователя</h1>\r\n<p><b>Owner</b></p>\r\n<h1>Постоянные читатели:</h1>\r\n");
  page +=
      cp1251("<p><a href=\"/member/?1#readerslist\">Всего: ") + std::to_string(readers) + "</a><br><small>";
  for (int i = 0; i < readers; ++i) {
    if (i) page += ", ";
    page += ReaderLink(100000 + i, 0);
  }
  page += "</small></p>\r\n</body></html>\r\n";
  page.shrink_to_fit();
  return page;
}

}  // namespace tw::bench
