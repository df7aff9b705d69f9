#include "app/application.h"
#include "app/roads.h"

namespace tw {

// No report window yet: the check ends on the main window, with command 1
// drawn in its normal look.
void OpenReport(Application& app, const std::string&) {
  app.ShowMain();
  if (app.Main() != nullptr) app.Main()->Model().RestoreButton(1);
}

}  // namespace tw
