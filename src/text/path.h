// Path operations shared by the configuration, the runtime search and the archive.
#pragma once

#include "text/text_buffer.h"

// Removes "\.\" steps and "name\..\" pairs in place. A climb stops at "\", ":" and "!",
// so a drive prefix and the "!" between an archive and an entry path are never removed.
void NormalizeDotSegments(CTextBuffer& path);

// True when the named file or folder can be read (the C library's access check, mode 4).
bool FileExists(const char* path);
