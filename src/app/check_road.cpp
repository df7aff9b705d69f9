#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/application.h"
#include "app/roads.h"
#include "download/loading_window.h"
#include "download/winsock_socket.h"
#include "readers/profile_parser.h"

namespace tw {

namespace {

// Ends the download window's stay in the application, once: the object goes
// after the current message, so the window may call this from its handlers.
void Release(Application& app, win::Window** window) {
  if (*window != nullptr) app.Drop(std::exchange(*window, nullptr));
}

// The way back at the end of a check: the main window, command 1 in its
// normal look.
void BackToMain(Application& app) {
  app.ShowMain();
  if (app.Main() != nullptr) app.Main()->Model().RestoreButton(1);
}

void OpenCheck(Application& app) {
  // The owner's nickname and the reader total the page announced travel
  // from the parse step to the report; the window handle from Keep to
  // whichever way out runs first.
  auto ownerNick = std::make_shared<std::string>();
  auto announcedTotal = std::make_shared<std::optional<std::size_t>>();
  auto kept = std::make_shared<win::Window*>(nullptr);
  const std::filesystem::path programFolder = app.Values().programFolder;
  const Settings& settings = app.Values().settings;

  LoadingHost host;
  host.ShowMain = [&app, kept] {
    Release(app, kept.get());
    BackToMain(app);
  };
  host.ShowReport = [&app, kept, ownerNick, announcedTotal] {
    Release(app, kept.get());
    OpenReport(app, *ownerNick, *announcedTotal);
  };

  ParseStep parse = [ownerNick, announcedTotal, programFolder, &settings](std::string& responseText) {
    ParseInput input;
    input.ID = settings.ID;
    input.Guest = settings.Guest;
    input.programFolder = programFolder;
    return ParseProfilePage(responseText, *ownerNick, input, announcedTotal.get());
  };

  auto window = std::make_unique<LoadingWindow>(
      LoadingWindow::Parts{settings, programFolder, std::make_unique<win::WinsockSocket>(), std::move(parse),
                           std::move(host), nullptr});
  LoadingWindow* loading = window.get();
  *kept = app.Keep(std::move(window));
  loading->OpenOn(app.Screen());
  if (!loading->Open()) {
    // No window could be made and nothing runs: the main window comes back.
    Release(app, kept.get());
    BackToMain(app);
  }
}

}  // namespace

// Command 1 with a profile set opens the download window; it ends on the main
// window or on the change report.
void WireCheck(Application& app) {
  app.onStartCheck = [&app] { OpenCheck(app); };
}

}  // namespace tw
