// The installer runs this before it replaces or removes the program, so that no clock keeps
// the program's file in use. It shows nothing and always ends with 0: the installation goes on
// whatever it found.
#include <windows.h>

#include "packaging/closer/ClockCloser.h"

namespace {
// A clock closes in a few milliseconds; one still starting shows its window within seconds.
constexpr DWORD kWaitMs = 10000;
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    ClockCloser().CloseAll(kWaitMs);
    return 0;
}
