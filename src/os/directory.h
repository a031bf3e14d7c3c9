// Enumerating the entries of one folder, in the order the system delivers them.
#pragma once

#include "text/text_buffer.h"

class CDirectoryScan {
public:
    CDirectoryScan() = default;
    CDirectoryScan(const CDirectoryScan&) = delete;
    CDirectoryScan& operator=(const CDirectoryScan&) = delete;
    virtual ~CDirectoryScan();

    // Starts listing folder (with or without a trailing separator). False when it cannot
    // be listed.
    bool Open(const char* folder);
    // The next entry's name (never "." or ".."), and whether it is a folder.
    bool Next(CTextBuffer& name, bool& isFolder);
    void Close();

private:
    void* m_handle = nullptr;   // DIR* on Linux, a find state on Windows
    CTextBuffer m_folder;
};
