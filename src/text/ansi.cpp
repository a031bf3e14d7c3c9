// The C library converts single characters in the current locale. Its wchar_t holds a
// UTF-16 unit on Windows but a whole code point on Linux, so supplementary characters
// are split into, or joined from, surrogate pairs here.
#include "text/ansi.h"

#include <climits>
#include <cstring>
#include <cwchar>

namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

bool IsHighSurrogate(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

} // namespace

int32_t ConvertAnsiToWide(const char* bytes, int32_t n, char16_t* out, int32_t capacity)
{
    std::mbstate_t state{};
    int32_t i = 0, m = 0;
    while (i < n && bytes[i] && m < capacity) {
        wchar_t wc = 0;
        size_t used = std::mbrtowc(&wc, bytes + i, size_t(n - i), &state);
        if (used == size_t(-2))
            break;
        if (used == size_t(-1) || used == 0) {
            state = std::mbstate_t{};
            out[m++] = u'?';
            ++i;
            continue;
        }
        i += int32_t(used);
        unsigned long cp = static_cast<unsigned long>(wc);
        if (!kWideIsUtf16 && cp > 0xFFFF) {
            if (cp > 0x10FFFF || m + 2 > capacity) {
                out[m++] = u'?';
                continue;
            }
            cp -= 0x10000;
            out[m++] = char16_t(0xD800 | (cp >> 10));
            out[m++] = char16_t(0xDC00 | (cp & 0x3FF));
        } else {
            out[m++] = char16_t(cp);
        }
    }
    out[m] = 0;
    return m;
}

int32_t ConvertWideToAnsi(const char16_t* units, int32_t n, char* out, int32_t capacity)
{
    std::mbstate_t state{};
    char scratch[MB_LEN_MAX > 16 ? MB_LEN_MAX : 16];
    int32_t i = 0, m = 0;
    while (i < n && units[i]) {
        unsigned long cp = units[i++];
        if (!kWideIsUtf16 && IsHighSurrogate(unsigned(cp)) && i < n && IsLowSurrogate(units[i]))
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i++] - 0xDC00);
        size_t made = size_t(-1);
        if (kWideIsUtf16 || !(IsHighSurrogate(unsigned(cp)) || IsLowSurrogate(unsigned(cp))))
            made = std::wcrtomb(scratch, static_cast<wchar_t>(cp), &state);
        if (made == size_t(-1)) {
            state = std::mbstate_t{};
            scratch[0] = '?';
            made = 1;
        }
        if (m + int32_t(made) > capacity)
            break;
        std::memcpy(out + m, scratch, made);
        m += int32_t(made);
    }
    out[m] = 0;
    return m;
}
