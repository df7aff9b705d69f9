// Where the main window's commands lead. Each road is wired in its own file,
// so the windows stay independent of each other.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace tw {

class Application;

// Command 1 with a profile set: the download window (check_road.cpp).
void WireCheck(Application& app);
// Command 2, and command 1 without a profile: the options window
// (options_road.cpp).
void WireOptions(Application& app);
// After a successful parse: the change report for the watched profile, which
// ends by showing the main window (report_road.cpp).
// `announcedTotal` is the reader total the page announced, if any.
void OpenReport(Application& app, const std::string& ownerNick,
                std::optional<std::size_t> announcedTotal = std::nullopt);

// tallywick.exe /report while another copy runs: asks it to show the changes
// and returns true; false when no other copy runs.
bool HandOverReport(Application& app);
// The running copy's answer to such a request, and the daily task's check
// at start-up (autocheck_road.cpp).
void WireAutoCheck(Application& app);

}  // namespace tw
