#include <memory>

#include "app/application.h"
#include "app/roads.h"
#include "readers/history_window.h"
#include "settings/options_window.h"

namespace tw {

// The options window, from command 2 (the main window is unloaded) and from
// command 1 without a profile (the main window is hidden). The main window
// is not shown while it is open. However it is closed, the main window is
// loaded anew, so its caption names the profile that is now set.
void WireOptions(Application& app) {
  app.onOpenOptions = [&app] {
    auto window = std::make_unique<OptionsWindow>(app.Values());
    OptionsWindow* options = window.get();
    options->onClosed = [&app, options] {
      app.Drop(options);
      app.LoadMain();
    };
    options->onShowHistory = [&app, options] {
      ShowHistoryWindow(options->Handle(), app.Values().programFolder, app.Values().settings.ID);
    };
    app.Keep(std::move(window));
    options->OpenOn(app.Screen());
    if (!options->Load()) {
      options->onClosed = nullptr;
      app.Drop(options);
      app.LoadMain();
    }
  };
}

}  // namespace tw
