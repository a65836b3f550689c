// The program's game: for now a minimal frame that shows the engine running.
#include "engine/windows_dx.h"

void initialize() { Tarvo.Initialize(false, 756, 512); }

void run() {
    if (Tarvo.BeginDraw()) {
        Tarvo.ClearScreen();
        Tarvo.FillRect(328, 206, 427, 305, 200, 60, 40);
        Tarvo.EndDraw();
    }
    Tarvo.GetKey();
    Tarvo.ViewUpdate();
}
