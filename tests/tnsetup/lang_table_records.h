// The layout table as a test sees it.
#pragma once

#include "setup/core/lang_table.h"

#include <string>
#include <vector>

// Every record of the block hLang, as "CODE:NAME", also those after nLang.
inline std::vector<std::string> LangTableRecords() {
    std::vector<std::string> records;
    std::size_t count = hLang ? GlobalSize(hLang) / sizeof(LangEntry) : 0;
    LangEntry* table = LockLangTable();
    for (std::size_t i = 0; table && i < count; ++i)
        records.push_back(std::string(table[i].szCode) + ":" + table[i].szLayout);
    UnlockLangTable();
    return records;
}
