// References inside configuration values: environment variables, the launcher's own
// names and registry values, in the forms %NAME%, $NAME, ${NAME}, %{NAME}%, %% and $$.
#pragma once

#include "text/text_buffer.h"

// A copy of text with every known reference replaced. Replacements come as the
// environment, the registry or the launcher hold them (the ANSI code page); with
// utf8Output they are converted to UTF-8, while the literal parts are never converted.
CTextBuffer ExpandValue(const CTextBuffer& text, bool utf8Output);
