// Feeds arbitrary UTF-16 texts to the name and URL rules, as the natives receive them
// from Java strings.
#include "archive/resource_names.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int32_t count = int32_t(size / 2);
    CWideTextBuffer units;
    if (!units.Resize(count))
        return 0;
    for (int32_t i = 0; i < count; ++i)
        units.Data()[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));

    JavaNameForms forms = MakeNameForms(units.Data(), count);
    CTextBuffer classEntry = ClassEntryName(forms.ansi);
    CTextBuffer resourceEntry = ResourceEntryName(forms.utf8);
    Require(resourceEntry.Length() <= forms.utf8.Length());
    CWideTextBuffer url = MakeResourceUrlText(resourceEntry, true);
    CWideTextBuffer ansiUrl = MakeResourceUrlText(classEntry, false);

    UrlCandidates candidates;
    if (UrlEntryNames(units.Data(), count, candidates)) {
        Require(candidates.count >= 1 && candidates.count <= 3);
        Require(candidates.names[0].Length() == candidates.ansiForm.Length() - 4);
    }
    CTextBuffer decoded = PercentDecode(forms.ansi);
    Require(decoded.Length() <= forms.ansi.Length());
    return 0;
}
