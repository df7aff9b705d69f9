#include "download/request.h"

#include <gtest/gtest.h>

#include "deployment.h"
#include "text/cp1251.h"

namespace tw {
namespace {

const std::string kPda = deploy::kPdaHost;
const std::string kMain = deploy::kMainHost;
const std::string kPostPath =
    std::string("/~") + deploy::kNewsDiary + "/?comments&postid=" + deploy::kVersionPostId;
const std::string kCommon =
    "Accept: */*\r\nReferer: http://" + kPda +
    "/\r\nAccept-Language: ru\r\nUser-Agent: Tallywick 2.0 (by Orvane)\r\nHost: " + kPda + "\r\n";
// ConvertNick("Дима Ёж") and md5sum of "secret".
const std::string kCookie =
    "Cookie: user_login=%C4%E8%EC%E0+%A8%E6; user_pass=5ebe2294ecd0e0f08eab7690d2a6ee69\r\n";

Settings Base(bool guest, bool proxy, bool auth) {
  Settings s;
  s.ID = "123456";
  s.Guest = guest;
  s.Login = cp1251("Дима Ёж");
  s.Password = "secret";
  s.UseProxy = proxy;
  s.ProxyHost = "127.0.0.1";
  s.ProxyPort = "3128";
  s.ProxyAuth = auth;
  s.ProxyLogin = "user";
  s.ProxyPass = "pass";
  return s;
}

TEST(BuildRequest, ExactBytesOfEveryCase) {
  const std::string profilePath = "/member/?123456&fullreaderslist&fullfavoriteslist";
  const std::string auth = "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n";
  const struct {
    const char* name;
    RequestTarget target;
    bool guest, proxy, auth;
    std::string expected;
  } cases[] = {
      {"direct guest post", RequestTarget::VersionPost, true, false, false,
       "GET " + kPostPath + " HTTP/1.0\r\n" + kCommon + "Connection: Close\r\n\r\n"},
      {"direct guest profile", RequestTarget::Profile, true, false, false,
       "GET " + profilePath + " HTTP/1.0\r\n" + kCommon + "Connection: Close\r\n\r\n"},
      {"direct login post", RequestTarget::VersionPost, false, false, false,
       "GET " + kPostPath + " HTTP/1.0\r\n" + kCommon + "Connection: Close\r\n" + kCookie + "\r\n"},
      {"direct login profile", RequestTarget::Profile, false, false, false,
       "GET " + profilePath + " HTTP/1.0\r\n" + kCommon + "Connection: Close\r\n" + kCookie + "\r\n"},
      {"direct ignores proxy auth", RequestTarget::Profile, true, false, true,
       "GET " + profilePath + " HTTP/1.0\r\n" + kCommon + "Connection: Close\r\n\r\n"},
      {"proxy guest post", RequestTarget::VersionPost, true, true, false,
       "GET http://" + kMain + kPostPath + " HTTP/1.0\r\n" + kCommon + "Proxy-Connection: Close\r\n\r\n"},
      {"proxy login profile", RequestTarget::Profile, false, true, false,
       "GET http://" + kMain + profilePath + " HTTP/1.0\r\n" + kCommon + "Proxy-Connection: Close\r\n" +
           kCookie + "\r\n"},
      {"proxy auth guest profile", RequestTarget::Profile, true, true, true,
       "GET http://" + kMain + profilePath + " HTTP/1.0\r\n" + kCommon + "Proxy-Connection: Close\r\n" +
           auth + "\r\n"},
      {"proxy auth login post", RequestTarget::VersionPost, false, true, true,
       "GET http://" + kMain + kPostPath + " HTTP/1.0\r\n" + kCommon + "Proxy-Connection: Close\r\n" +
           kCookie + auth + "\r\n"},
  };
  for (const auto& c : cases) {
    const auto request = BuildRequest(c.target, Base(c.guest, c.proxy, c.auth));
    ASSERT_TRUE(request.has_value()) << c.name;
    EXPECT_EQ(*request, c.expected) << c.name;
  }
}

TEST(BuildRequest, EmptyCredentialsStillSendTheirEncodings) {
  Settings s = Base(false, true, true);
  s.Login.clear();
  s.Password.clear();
  s.ProxyLogin.clear();
  s.ProxyPass.clear();
  const std::string request = BuildRequest(RequestTarget::Profile, s).value();
  EXPECT_NE(request.find("\r\nCookie: user_login=; user_pass=d41d8cd98f00b204e9800998ecf8427e\r\n"),
            std::string::npos);
  EXPECT_NE(request.find("\r\nProxy-Authorization: Basic Og==\r\n\r\n"), std::string::npos);  // ":"
}

TEST(BuildRequest, NoSettingsValueCanAddOrBreakALine) {
  // A profile ID that is not plain digits sends nothing at all.
  for (const std::string id : {"", "12 3", "1\r\nX-Evil: 1", "12&a", "-5"}) {
    Settings s = Base(true, false, false);
    s.ID = id;
    EXPECT_FALSE(BuildRequest(RequestTarget::Profile, s).has_value()) << id;
  }
  // Control bytes in the login and the proxy credentials are encoded away:
  // the request still has exactly its own line ends.
  Settings s = Base(false, true, true);
  s.Login = "%\r\nX-Evil: 1";
  s.Password = "p\r\nX";
  s.ProxyLogin = "u\r\n";
  s.ProxyPass = "\n\n";
  const std::string request = BuildRequest(RequestTarget::Profile, s).value();
  std::size_t lines = 0;
  for (std::size_t at = request.find("\r\n"); at != std::string::npos; at = request.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(lines, 10u);  // request line, 8 headers, the empty line
  EXPECT_EQ(std::count(request.begin(), request.end(), '\n'), 10);
  EXPECT_EQ(request.find("X-Evil"), std::string::npos);
}

}  // namespace
}  // namespace tw
