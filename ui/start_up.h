// The program's start-up: shared state, language menu, then the main window until it closes.
#pragma once

// Returns 0 once the main window has closed.
int StartUp();
