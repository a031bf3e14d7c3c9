// The scan for references. A reference no source knows stays in the value as written,
// and replacement texts are not scanned again.
#include "config/value_expansion.h"

#include "config/environment.h"
#include "config/launch_config.h"

#include <cctype>

namespace {

bool IsNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool HasHighBytes(const CTextRef& text)
{
    for (int32_t i = 0; i < text.Length(); ++i)
        if (static_cast<unsigned char>(text.Data()[i]) >= 0x80)
            return true;
    return false;
}

const char* LookUp(const char* name, const CLaunchConfig* config)
{
    if (const char* value = FindEnvironmentValue(name))
        return value;
    if (!config)
        return nullptr;
    if (const char* value = config->LookupSpecialName(name))
        return value;
    return config->LookupRegistryReference(name);
}

} // namespace

CTextBuffer ExpandValue(const CTextBuffer& text, bool utf8Output)
{
    return ExpandValue(text, utf8Output, g_config);
}

CTextBuffer ExpandValue(const CTextBuffer& text, bool utf8Output, const CLaunchConfig* config)
{
    const char* s = text.Data();
    const int32_t n = text.Length();
    CTextBuffer out;
    int32_t copied = 0;   // text before this position is in out already
    int32_t scan = 0;
    for (;;) {
        int32_t p = scan;
        while (p < n && s[p] != '%' && s[p] != '$')
            ++p;
        if (p >= n)
            break;
        const char marker = s[p];

        // The name, and e: where the reference ends unless a closing marker follows.
        int32_t nameStart, nameEnd, e;
        if (p + 1 < n && s[p + 1] == '{') {
            nameStart = nameEnd = p + 2;
            while (nameEnd < n && s[nameEnd] != '}')
                ++nameEnd;
            e = nameEnd < n ? nameEnd + 1 : n;
        } else {
            nameStart = nameEnd = p + 1;
            while (nameEnd < n && IsNameChar(s[nameEnd]))
                ++nameEnd;
            e = nameEnd;
        }

        int32_t end;
        CTextBuffer replacement;
        if (nameEnd == nameStart) {
            // "%%" and "$$" stand for the marker itself; anything else is no reference.
            if (e >= n || s[e] != marker) {
                scan = e;
                continue;
            }
            replacement.Append(marker);
            end = e + 1;
        } else {
            if (marker == '%') {
                if (e >= n || s[e] != '%') {
                    scan = e;
                    continue;
                }
                end = e + 1;
            } else {
                end = e;
            }
            CTextBuffer name(s + nameStart, nameEnd - nameStart);
            const char* found = LookUp(name.Data(), config);
            if (!found) {
                scan = end;
                continue;
            }
            replacement.Assign(found);
            if (utf8Output && HasHighBytes(replacement)) {
                CWideTextBuffer wide;
                wide.AssignFromAnsi(replacement.Data(), replacement.Length());
                replacement.AssignUtf8FromWide(wide.Data());
            }
        }
        out.Append(s + copied, p - copied);
        out.Append(replacement);
        copied = scan = end;
    }
    out.Append(s + copied, n - copied);
    return out;
}
