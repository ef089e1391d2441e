#include "app/program.h"
#include "platform/platform.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    platform::endProgram(app::startProgram());
}
