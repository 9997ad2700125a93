// Tonquil: a tray audio player. The program is the hidden window behind the
// tray icon; everything else lives in the core library.
#include <windows.h>

#include "player/app/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    ExitProcess((UINT)RunPlayer(instance));
}
