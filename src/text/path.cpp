#include "text/path.h"

#include <cstring>

namespace {

int32_t Find(const CTextBuffer& text, const char* what)
{
    const char* hit = std::strstr(text.Data(), what);
    // Text after an inner NUL is out of reach, which is what the C calls see too.
    return hit ? int32_t(hit - text.Data()) : -1;
}

} // namespace

void NormalizeDotSegments(CTextBuffer& path)
{
    for (int32_t p; (p = Find(path, "\\.\\")) >= 0;)
        path.Erase(p + 1, 2);
    for (int32_t p; (p = Find(path, "\\..\\")) >= 0;) {
        int32_t s = 0;
        for (int32_t i = p - 1; i >= 0; --i) {
            char c = path.Data()[i];
            if (c == '\\' || c == ':' || c == '!') {
                s = i + 1;
                break;
            }
        }
        path.Erase(s, p + 4 - s);
    }
}
