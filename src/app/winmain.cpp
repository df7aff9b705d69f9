// Entry point of tallywick.exe: the main window's load handler is the
// start-up of the program.
#include "app/application.h"
#include "app/roads.h"
#include "win32/shell.h"
#include "win32/windows_headers.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  tw::Application app(tw::win::ProgramFolder());
  tw::WireCheck(app);
  tw::WireOptions(app);
  if (!app.Start(show)) return 1;
  return app.Run();
}
