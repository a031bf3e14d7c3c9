// The launcher's own rule for splitting a command line into arguments, used for "argv"
// values and for wildcard expansion of the command line.
#pragma once

#include "text/text_buffer.h"

// Splits text in place and appends the start of each argument to arguments; returns the
// list's new count. Blanks and tabs separate arguments outside double quotes; quotes group
// and are removed; 2k backslashes before a quote give k and a grouping quote, 2k + 1 give
// k and a literal quote; other backslashes are literal. With marks, each argument gets 0
// (no "*" or "?"), 1 (wildcards only outside quotes) or -1 (one inside quotes).
int32_t SplitCommandLine(CPointerArray& arguments, char* text, CInt32Array* marks = nullptr);
