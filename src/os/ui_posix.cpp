#include "os/ui.h"

#include <cstdio>

void InitialiseCommonControls()
{
}

void ShowWarningBox(void*, const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}
