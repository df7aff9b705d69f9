#include "download/request.h"

#include <algorithm>

#include "deployment.h"
#include "download/encoders.h"
#include "download/md5.h"

namespace tw {
namespace {

bool HasControlByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
  });
}

}  // namespace

std::string RequestPath(RequestTarget target, std::string_view profileId) {
  if (target == RequestTarget::VersionPost) {
    return std::string("/~") + deploy::kNewsDiary + "/?comments&postid=" + deploy::kVersionPostId;
  }
  std::string path = "/member/?";
  path.append(profileId);
  path.append("&fullreaderslist&fullfavoriteslist");
  return path;
}

std::optional<std::string> BuildRequest(RequestTarget target, const Settings& settings) {
  if (target == RequestTarget::Profile && !IsValidProfileId(settings.ID)) return std::nullopt;

  std::string lines[9];
  std::size_t count = 0;
  const std::string path = RequestPath(target, settings.ID);
  lines[count++] = settings.UseProxy ? "GET http://" + std::string(deploy::kMainHost) + path + " HTTP/1.0"
                                     : "GET " + path + " HTTP/1.0";
  lines[count++] = "Accept: */*";
  lines[count++] = "Referer: http://" + std::string(deploy::kPdaHost) + "/";
  lines[count++] = "Accept-Language: ru";
  lines[count++] = "User-Agent: Tallywick 2.0 (by Orvane)";
  lines[count++] = "Host: " + std::string(deploy::kPdaHost);
  lines[count++] = settings.UseProxy ? "Proxy-Connection: Close" : "Connection: Close";
  if (!settings.Guest) {
    lines[count++] = "Cookie: user_login=" + ConvertNick(settings.Login) +
                     "; user_pass=" + Md5().CalculateMD5(settings.Password);
  }
  if (settings.UseProxy && settings.ProxyAuth) {
    lines[count++] =
        "Proxy-Authorization: Basic " + Base64Encode(settings.ProxyLogin + ":" + settings.ProxyPass);
  }

  std::string request;
  for (std::size_t i = 0; i < count; ++i) {
    if (HasControlByte(lines[i])) return std::nullopt;
    request += lines[i];
    request += "\r\n";
  }
  request += "\r\n";
  return request;
}

}  // namespace tw
