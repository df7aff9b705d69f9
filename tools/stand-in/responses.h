// What the stand-in answers: routing of one request to a fixture page, the
// proxy credentials check and the fault modes that shape the answer.
#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

namespace standin {

enum class Mode { Normal, Refuse, Stall, Half, Trickle, Status404, Status500, Fake200, Huge };

bool ParseMode(std::string_view text, Mode& mode);

struct Options {
  std::filesystem::path fixtures;
  std::filesystem::path log;
  Mode mode = Mode::Normal;
  std::string proxyAuth;  // "user:pass"; empty: the proxy asks for nothing
  int port = 0;
  int lifetimeSeconds = 600;
  std::size_t hugeMegabytes = 50;
  std::size_t trickleBytes = 64;
  int trickleMs = 20;
};

// One answer: the head (status line and headers) and the body, and how to
// deliver them.
struct Answer {
  std::string head;
  std::string body;
  Mode mode = Mode::Normal;  // Stall, Half and Trickle change the delivery
};

class Responder {
 public:
  explicit Responder(Options options) : options_(std::move(options)) {}

  // `request` is the whole request head as received.
  Answer Respond(std::string_view request);
  const Options& options() const { return options_; }

 private:
  // The mode for this request: the file "<fixtures>/mode" (first word), when
  // present, overrides the command line so one run can switch faults.
  Mode CurrentMode() const;
  std::string ProfileBody(const std::string& id, bool& found);

  Options options_;
  std::mutex mutex_;
  std::map<std::string, int> profileRequests_;
};

// "HTTP/1.0 <status>" with the diary's content type and the body's length.
Answer MakeAnswer(std::string_view status, std::string body);

}  // namespace standin
