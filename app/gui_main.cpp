// stylewick.exe: the window program. Takes no arguments; everything happens in its window.
#include <windows.h>

#include "ui/start_up.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return StartUp(); }
