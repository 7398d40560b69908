// The main setup program.
#include "setup/core/setup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return RunSetup(instance, commandLine);
}
