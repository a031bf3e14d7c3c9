// References inside configuration values: environment variables, the launcher's own
// names and registry values, in the forms %NAME%, $NAME, ${NAME}, %{NAME}%, %% and $$.
#pragma once

#include "text/text_buffer.h"

class CLaunchConfig;

// A copy of text with every known reference replaced. Replacements come as the
// environment, the registry or the launcher hold them (the ANSI code page); with
// utf8Output they are converted to UTF-8, while the literal parts are never converted.
// The launcher's own names and registry references come from g_config.
CTextBuffer ExpandValue(const CTextBuffer& text, bool utf8Output);
// The same with the special names and registry references of config (none when null),
// so the store can expand its own values before it is published.
CTextBuffer ExpandValue(const CTextBuffer& text, bool utf8Output, const CLaunchConfig* config);
