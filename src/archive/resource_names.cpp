// Java names, entry names and "qvx:" URL texts.
#include "archive/resource_names.h"

#include "text/path.h"

#include <algorithm>

namespace {

void ReplaceAll(CTextBuffer& text, char from, char to)
{
    std::replace(text.Data(), text.Data() + text.Length(), from, to);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The string's units, copied out so that no JNI pointer has to be released.
CWideTextBuffer JavaStringUnits(JNIEnv* env, jstring text)
{
    CWideTextBuffer units;
    if (!text)
        return units;
    jsize length = env->GetStringLength(text);
    if (length > 0 && units.Resize(length))
        env->GetStringRegion(text, 0, length, reinterpret_cast<jchar*>(units.Data()));
    return units;
}

} // namespace

JavaNameForms MakeNameForms(const char16_t* units, int32_t length)
{
    JavaNameForms forms;
    // A terminated copy: the UTF-8 conversion runs up to the first 0 unit.
    CWideTextBuffer name(units, units ? length : 0);
    forms.ansi.AssignAnsiFromWide(name.Data(), name.Length());
    forms.utf8.AssignUtf8FromWide(name.Data());
    forms.differ = forms.ansi.Compare(forms.utf8) != 0;
    return forms;
}

JavaNameForms MakeNameForms(JNIEnv* env, jstring name)
{
    CWideTextBuffer units = JavaStringUnits(env, name);
    return MakeNameForms(units.Data(), units.Length());
}

CTextBuffer ClassEntryName(const CTextRef& form)
{
    CTextBuffer name(form);
    ReplaceAll(name, '.', '\\');
    name.Append(".class");
    return name;
}

CTextBuffer ResourceEntryName(const CTextRef& form)
{
    CTextBuffer name(form);
    ReplaceAll(name, '/', '\\');
    NormalizeDotSegments(name);
    return name;
}

CWideTextBuffer MakeResourceUrlText(const CTextRef& entryPath, bool fromUtf8)
{
    CTextBuffer text("qvx:");
    text.Append(entryPath);
    ReplaceAll(text, '\\', '/');
    CWideTextBuffer url;
    if (fromUtf8)
        url.AssignFromUtf8(text.Data(), text.Length());
    else
        url.AssignFromAnsi(text.Data(), text.Length());
    return url;
}

bool UrlEntryNames(const char16_t* units, int32_t length, UrlCandidates& out)
{
    JavaNameForms forms = MakeNameForms(units, length);
    for (CTextBuffer* form : {&forms.ansi, &forms.utf8}) {
        ReplaceAll(*form, '/', '\\');
        NormalizeDotSegments(*form);
    }
    out.count = 0;
    out.ansiForm = forms.ansi;
    if (forms.ansi.Left(4).CompareNoCase("qvx:") != 0)
        return false;
    out.names[out.count++] = forms.ansi.Mid(4);
    if (forms.differ)
        out.names[out.count++] = forms.utf8.Mid(4);
    CTextBuffer decoded = PercentDecode(out.names[0]);
    if (decoded.Compare(out.names[0]) != 0)
        out.names[out.count++] = static_cast<CTextBuffer&&>(decoded);
    return true;
}

bool UrlEntryNames(JNIEnv* env, jstring url, UrlCandidates& out)
{
    CWideTextBuffer units = JavaStringUnits(env, url);
    return UrlEntryNames(units.Data(), units.Length(), out);
}

CTextBuffer PercentDecode(const CTextRef& text)
{
    CTextBuffer out;
    out.Reserve(text.Length() + 1);
    const char* s = text.Data();
    int32_t n = text.Length();
    for (int32_t i = 0; i < n; ++i) {
        char c = s[i];
        if (c == '+') {
            out.Append(' ');
        } else if (c == '%' && i + 1 < n && s[i + 1] == '%') {
            out.Append('%');
            ++i;
        } else if (c == '%' && i + 2 < n && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out.Append(char(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2])));
            i += 2;
        } else {
            out.Append(c);
        }
    }
    return out;
}
