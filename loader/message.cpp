// Messages of the loader by string id.
#include "loader/loader.h"
#include "loader/loader_ids.h"

#include <cstdarg>

int LoaderMessage(HWND owner, UINT style, UINT stringId, ...) {
    char format[512];
    char text[256];
    char caption[64];
    if (!LoadStringA(GetModuleHandleA(nullptr), stringId, format, sizeof format)) format[0] = '\0';
    if (!LoadStringA(GetModuleHandleA(nullptr), IDS_LOADER_CAPTION, caption, sizeof caption))
        caption[0] = '\0';
    va_list args;
    va_start(args, stringId);
    // wvsprintfA writes at most 1024 bytes; format into a buffer of that size and cut to the message's.
    char full[1025];
    wvsprintfA(full, format, args);
    va_end(args);
    lstrcpynA(text, full, sizeof text);
    return MessageBoxA(owner, text, caption, style);
}
