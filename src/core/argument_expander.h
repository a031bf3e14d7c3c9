// Wildcard expansion of the command line ("wildcard" true, auto or all).
#pragma once

#include "text/text_buffer.h"

class CArgumentExpander {
public:
    CArgumentExpander() = default;
    CArgumentExpander(const CArgumentExpander&) = delete;
    CArgumentExpander& operator=(const CArgumentExpander&) = delete;
    virtual ~CArgumentExpander();

    // Mode 1 expands patterns written outside quotes, mode 2 every pattern.
    void ExpandArguments(int argc, char** argv, int mode);
    // Appends the address of every expanded argument (program name first); returns the
    // list's count.
    int32_t TakeArgumentVector(CPointerArray& target);

private:
    CTextList m_arguments;
};

extern CArgumentExpander g_argumentExpander;
