// The executable's string table: strings are stored in blocks of 16, block (id / 16) + 1,
// each string a 16-bit length followed by that many UTF-16 units.
#include "config/message_table.h"

#include <windows.h>

bool LoadMessageResource(unsigned id, CWideTextBuffer& text)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(module, info);
    const auto* units = static_cast<const WCHAR*>(loaded ? LockResource(loaded) : nullptr);
    if (!units)
        return false;
    const WCHAR* end = units + SizeofResource(module, info) / sizeof(WCHAR);
    for (unsigned skip = id % 16; skip > 0 && units < end; --skip)
        units += 1 + *units;
    if (units >= end || units + 1 + *units > end)
        return false;
    text.Assign(reinterpret_cast<const char16_t*>(units + 1), int32_t(*units));
    return true;
}
