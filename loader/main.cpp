// The setup loader.
#include "loader/loader.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return RunLoader(instance, commandLine);
}
