// stylewick.exe: the window program. Everything happens in its window; a page named on the
// command line ("Open with", a page dropped on the program's icon, Send To) starts chosen.
#include <windows.h>

#include <cstdlib>

#include "platform/console.h"
#include "ui/start_up.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return ui::StartUp(platform::ProgramArguments(__argc, __argv));
}
