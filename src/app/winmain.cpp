// Entry point of tallywick.exe: the main window's load handler is the
// start-up of the program.
#include "app/application.h"
#include "app/roads.h"
#include "win32/shell.h"
#include "win32/windows_headers.h"

#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  // Screen readers reach the controls' own accessible objects through COM.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  int code = 1;
  {
    tw::Application app(tw::win::ProgramFolder());
    tw::WireCheck(app);
    tw::WireOptions(app);
    if (app.Start(show)) code = app.Run();
  }
  if (com) CoUninitialize();
  return code;
}
