// The numbered table of user-visible messages: the executable's own texts, replaced
// where the configuration's "message" values say so, and the one error display.
#pragma once

#include "text/text_buffer.h"

enum : unsigned {
    kMessageNoRuntime = 1,
    kMessageRuntimeInvalid = 2,
    kMessageVmStartFailed = 4,
    kMessageNoVersion = 5,
    kMessageVersionTooLow = 6,
    kMessageNoMainClass = 7,
    kMessageNoMainMethod = 8,
    kMessageCaption = 10,
    kMessageVersionTooHigh = 12,
    kMessageAlreadyRunning = 13,
};

// The text of message id in the ANSI code page: the first "message" override for it,
// else the executable's own text, else empty text. The overrides are read once, on the
// first call.
CTextBuffer GetMessage(unsigned id);

// printf-style formatting restricted to what message texts need: each "%s" takes the
// next argument (empty text once they run out), "%%" gives "%", and any other "%" stays
// as written. Override texts come from the configuration, so no other conversion may
// read the argument list; the result is as long as it needs to be.
CTextBuffer FormatMessageText(const char* format, const char* const* arguments, int count);

// Shows text in the warning box captioned with message 10, owned by the built-in splash
// window when one is shown, then lets the splash close after 100 ms.
void ShowErrorBox(const char* text);

// "\n", "\r" and "\t" stand for LF, CR and TAB; "\" before any other character stands for
// that character; a "\" at the very end is dropped.
CTextBuffer UnescapeMessageText(const char* text);

// The executable's own text for id (the string table on Windows, the compiled-in list on
// Linux), as UTF-16; false when it has none.
bool LoadMessageResource(unsigned id, CWideTextBuffer& text);
