#include "app/application.h"
#include "app/roads.h"

namespace tw {

// The options window is not wired yet: command 2 loads the main window anew.
void WireOptions(Application&) {}

}  // namespace tw
