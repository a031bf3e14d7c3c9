#include "vm/command_line.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

int32_t SplitCommandLine(CPointerArray& arguments, char* t, CInt32Array* marks)
{
    const int32_t n = int32_t(std::strlen(t));
    int32_t r = 0, w = 0;
    bool quoted = false;
    while (r < n) {
        while (r < n && IsBlank(t[r])) {
            t[w++] = 0;
            ++r;
        }
        if (r >= n)
            break;
        arguments.Add(t + w);
        const int32_t index = arguments.Count() - 1;
        while (r < n) {
            char c = t[r];
            if (!quoted && IsBlank(c))
                break;
            if (c == '"') {
                quoted = !quoted;
                ++r;
            } else if (c == '\\') {
                int32_t k = 0;
                while (r < n && t[r] == '\\') {
                    t[w++] = t[r++];
                    ++k;
                }
                if (r < n && t[r] == '"') {
                    w -= (k + 1) / 2;
                    if (k % 2) {
                        t[w++] = '"';
                        ++r;
                    }
                }
            } else {
                if (marks && (c == '*' || c == '?')) {
                    while (marks->Count() <= index)
                        marks->Add(0);
                    int32_t& mark = (*marks)[index];
                    if (mark >= 0)
                        mark = quoted ? -1 : 1;
                }
                t[w++] = c;
                ++r;
            }
        }
    }
    t[w] = 0;
    if (marks)
        while (marks->Count() < arguments.Count())
            marks->Add(0);
    return arguments.Count();
}
