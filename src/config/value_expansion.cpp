#include "config/value_expansion.h"

// Placeholder: values stay as written until expansion exists.
CTextBuffer ExpandValue(const CTextBuffer& text, bool)
{
    return text;
}
