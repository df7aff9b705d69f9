#include "responses.h"

#include <fstream>
#include <sstream>

#include "download/encoders.h"

namespace standin {
namespace {

const std::string kErrorPage =
    "<html><head><title>Error</title></head><body><h1>Error</h1><p>Page not found.</p></body></html>";

bool ReadFile(const std::filesystem::path& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  out = buffer.str();
  return true;
}

// The value of header `name` (case-insensitive name), or "".
std::string HeaderValue(std::string_view request, std::string_view name) {
  std::size_t at = request.find("\r\n");
  while (at != std::string_view::npos) {
    const std::size_t start = at + 2;
    const std::size_t end = request.find("\r\n", start);
    const std::string_view line = request.substr(start, end == std::string_view::npos ? end : end - start);
    if (line.size() > name.size() && line[name.size()] == ':') {
      bool same = true;
      for (std::size_t i = 0; i < name.size() && same; ++i) {
        same = std::tolower(static_cast<unsigned char>(line[i])) ==
               std::tolower(static_cast<unsigned char>(name[i]));
      }
      if (same) {
        std::string_view value = line.substr(name.size() + 1);
        while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
        return std::string(value);
      }
    }
    at = end;
  }
  return "";
}

}  // namespace

bool ParseMode(std::string_view text, Mode& mode) {
  static const std::map<std::string_view, Mode> kModes = {
      {"normal", Mode::Normal}, {"refuse", Mode::Refuse},   {"stall", Mode::Stall},
      {"half", Mode::Half},     {"trickle", Mode::Trickle}, {"404", Mode::Status404},
      {"500", Mode::Status500}, {"fake200", Mode::Fake200}, {"huge", Mode::Huge},
  };
  const auto it = kModes.find(text);
  if (it == kModes.end()) return false;
  mode = it->second;
  return true;
}

Answer MakeAnswer(std::string_view status, std::string body) {
  Answer answer;
  answer.head =
      "HTTP/1.0 " + std::string(status) +
      "\r\nContent-Type: text/html; charset=windows-1251\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\nConnection: close\r\n\r\n";
  answer.body = std::move(body);
  return answer;
}

Mode Responder::CurrentMode() const {
  std::string text;
  if (options_.fixtures.empty() || !ReadFile(options_.fixtures / "mode", text)) return options_.mode;
  std::istringstream words(text);
  std::string word;
  Mode mode = options_.mode;
  if (words >> word) ParseMode(word, mode);
  return mode;
}

std::string Responder::ProfileBody(const std::string& id, bool& found) {
  const std::filesystem::path sequence = options_.fixtures / ("member-" + id);
  std::string body;
  if (std::filesystem::is_directory(sequence)) {
    int number = 0;
    {
      std::lock_guard lock(mutex_);
      number = ++profileRequests_[id];
    }
    // Step through 1.html, 2.html, ...; stay at the last one.
    while (number > 1 && !std::filesystem::exists(sequence / (std::to_string(number) + ".html"))) --number;
    found = ReadFile(sequence / (std::to_string(number) + ".html"), body);
    return body;
  }
  found = ReadFile(options_.fixtures / ("member-" + id + ".html"), body);
  return body;
}

Answer Responder::Respond(std::string_view request) {
  const Mode mode = CurrentMode();
  if (mode == Mode::Stall) {
    Answer silence;
    silence.mode = Mode::Stall;
    return silence;
  }
  const std::size_t lineEnd = request.find("\r\n");
  const std::string_view line = request.substr(0, lineEnd);
  const std::size_t firstBlank = line.find(' ');
  const std::size_t lastBlank = line.rfind(' ');
  if (firstBlank == std::string_view::npos || lastBlank <= firstBlank) {
    return MakeAnswer("400 Bad Request", kErrorPage);
  }
  std::string_view target = line.substr(firstBlank + 1, lastBlank - firstBlank - 1);

  // Absolute form: the stand-in works as the HTTP proxy.
  if (target.rfind("http://", 0) == 0) {
    if (!options_.proxyAuth.empty() &&
        HeaderValue(request, "Proxy-Authorization") != "Basic " + tw::Base64Encode(options_.proxyAuth)) {
      Answer answer = MakeAnswer("407 Proxy Authentication Required", kErrorPage);
      answer.head.insert(answer.head.size() - 2, "Proxy-Authenticate: Basic realm=\"stand-in\"\r\n");
      return answer;
    }
    const std::size_t slash = target.find('/', 7);
    target = slash == std::string_view::npos ? std::string_view("/") : target.substr(slash);
  }

  if (mode == Mode::Status404) return MakeAnswer("404 Not Found", kErrorPage);
  if (mode == Mode::Status500) return MakeAnswer("500 Internal Server Error", kErrorPage);
  if (mode == Mode::Fake200) {
    return MakeAnswer("404 Not Found",
                      "<html><head><title>Error</title></head><body>HTTP/1.0 200 OK</body></html>");
  }

  std::string body;
  bool found = false;
  if (target.find("postid=") != std::string_view::npos) {
    found = ReadFile(options_.fixtures / "version-post.html", body);
  } else if (target.rfind("/member/?", 0) == 0) {
    std::string id;
    for (std::size_t i = 9; i < target.size() && target[i] >= '0' && target[i] <= '9'; ++i)
      id.push_back(target[i]);
    if (!id.empty()) body = ProfileBody(id, found);
  }
  if (!found) return MakeAnswer("404 Not Found", kErrorPage);

  if (mode == Mode::Huge) {
    // The page itself, then a comment that makes it hugeMegabytes long.
    const std::size_t total = options_.hugeMegabytes * 1024 * 1024;
    body += "\r\n<!-- ";
    if (body.size() + 4 < total) body.append(total - body.size() - 4, 'x');
    body += " -->";
  }
  Answer answer = MakeAnswer("200 OK", std::move(body));
  answer.mode = mode;
  return answer;
}

}  // namespace standin
