// Entry point of PresenterVela.exe: the application object runs the program.
#include <windows.h>

#include "app/win32/quillon_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  pv::app::CQuillonApp app;
  return app.Run();
}
