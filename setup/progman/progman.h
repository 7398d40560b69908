// The product's Program Manager group: a DDE conversation with the shell that creates the group, adds an
// item for every icon entry of the chosen components, and puts the first program into the start-up group.
#pragma once

#include "platform/win32.h"

#include <cstddef>

// True when every command was accepted; false when Program Manager cannot be reached or one failed.
BOOL CreateProgmanGroup();
// True when a conversation with Program Manager exists (made on first use).
BOOL ConnectProgman();
BOOL DisconnectProgman();
// Sends COMMAND without waiting for its outcome; true when the DDE library accepted it.
BOOL SendProgmanCommand(const char* command);
// The key names of the setup1.inf section of string SECTIONID; false after message 13 when it has none.
BOOL ReadSectionKeys(UINT sectionId, char* keys, std::size_t cap);
// The item name of an icon entry: the text behind its first comma; null when it has no comma.
const char* ItemNameOf(const char* iconKey);
BOOL AddItemsFromSection(UINT sectionId);
// True when every icon section of the chosen components could be read.
BOOL CreateProgmanItems();
EXPORTED HDDEDATA CALLBACK ProgmanDdeCallback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                              HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
