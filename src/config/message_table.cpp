#include "config/message_table.h"

#include "config/launch_config.h"
#include "os/ui.h"
#include "splash/splash.h"

#include <cstdlib>
#include <cstring>

namespace {

// Overrides in the order read: pairs of (id, index into the texts), then (0, 0).
struct CMessageTable {
    bool built = false;
    CInt32Array pairs;
    CTextList texts;

    void Build()
    {
        built = true;
        if (g_config) {
            CTextList values;
            g_config->CollectValues("message", values, true);
            for (int32_t k = 0; k < values.Count(); ++k) {
                char* value = values.StringAt(k);
                char* equals = std::strchr(value, '=');
                if (!equals)
                    continue;
                *equals = 0;
                int id = std::atoi(value);
                if (id <= 0)
                    continue;
                pairs.Add(id);
                pairs.Add(texts.Count());
                texts.AddString(UnescapeMessageText(equals + 1));
            }
        }
        pairs.Add(0);
        pairs.Add(0);
    }
};

CMessageTable s_table;

} // namespace

CTextBuffer GetMessage(unsigned id)
{
    if (!s_table.built)
        s_table.Build();
    for (int32_t i = 0; s_table.pairs[i] != 0; i += 2)
        if (unsigned(s_table.pairs[i]) == id)
            return CTextBuffer(s_table.texts.StringAt(s_table.pairs[i + 1]));
    CWideTextBuffer units;
    CTextBuffer text;
    if (LoadMessageResource(id, units))
        text.AssignAnsiFromWide(units.Data(), units.Length());
    return text;
}

CTextBuffer UnescapeMessageText(const char* text)
{
    CTextBuffer out;
    for (const char* p = text; *p; ++p) {
        if (*p != '\\') {
            out.Append(*p);
            continue;
        }
        char next = *++p;
        if (!next)
            break;
        out.Append(next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next);
    }
    return out;
}

CTextBuffer FormatMessageText(const char* format, const char* const* arguments, int count)
{
    CTextBuffer out;
    out.Reserve(1024);
    int next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < count && arguments[next])
                out.Append(arguments[next]);
            ++next;
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            out.Append('%');
            ++p;
        } else {
            out.Append(*p);
        }
    }
    return out;
}

void ShowErrorBox(const char* text)
{
    CTextBuffer caption = GetMessage(kMessageCaption);
    ShowWarningBox(GetSplashWindowHandle(), text, caption.Data());
    ScheduleSplashClose(100);
}
