// Java names to entry names, entry paths to "qvx:" URL texts and back, and the
// percent decoding of the last candidate.
#include "archive/resource_names.h"

#include "fake_jni.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::string Text(const CTextRef& t)
{
    return std::string(t.Data(), size_t(t.Length()));
}

std::u16string Units(const CWideTextRef& t)
{
    return std::u16string(t.Data(), size_t(t.Length()));
}

// Switches the C library's character conversions for one test.
class CLocaleScope {
public:
    explicit CLocaleScope(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            if (std::setlocale(LC_CTYPE, name)) {
                m_active = name;
                return;
            }
        }
    }
    ~CLocaleScope() { std::setlocale(LC_CTYPE, "C"); }
    const char* Active() const { return m_active; }

private:
    const char* m_active = nullptr;
};

} // namespace

TEST(NameForms, AsciiNamesHaveOneForm)
{
    struct Case {
        const char* name;
        std::u16string units;
        int32_t length;
        const char* form;
    };
    const Case cases[] = {
        {"resource path", u"com/acme/a.png", -1, "com/acme/a.png"},
        {"cut at the length", u"com/acme/a.png", 3, "com"},
        {"cut at the first 0 unit", std::u16string(u"abc\0def", 7), 7, "abc"},
        {"empty", u"", 0, ""},
    };
    for (const Case& c : cases) {
        JavaNameForms forms = MakeNameForms(c.units.c_str(), c.length < 0 ? int32_t(c.units.size()) : c.length);
        EXPECT_EQ(Text(forms.ansi), c.form) << c.name;
        EXPECT_EQ(Text(forms.utf8), c.form) << c.name;
        EXPECT_FALSE(forms.differ) << c.name;
    }
}

TEST(NameForms, NonAsciiNameHasTwoFormsInAWesternCodePage)
{
    CLocaleScope locale({".1252", "English_United States.1252", "en_US.ISO-8859-1", "en_US.iso88591"});
    if (!locale.Active())
        GTEST_SKIP() << "no Western single-byte locale on this machine";
    JavaNameForms forms = MakeNameForms(u"caf\u00e9.txt", 8);
    EXPECT_EQ(Text(forms.ansi), "caf\xE9.txt") << locale.Active();
    EXPECT_EQ(Text(forms.utf8), "caf\xC3\xA9.txt") << locale.Active();
    EXPECT_TRUE(forms.differ) << locale.Active();

    UrlCandidates url;
    std::u16string text = u"qvx:img/caf\u00e9.png";
    ASSERT_TRUE(UrlEntryNames(text.c_str(), int32_t(text.size()), url));
    ASSERT_EQ(url.count, 2) << "the ANSI form first, then the UTF-8 form";
    EXPECT_EQ(Text(url.names[0]), "img\\caf\xE9.png");
    EXPECT_EQ(Text(url.names[1]), "img\\caf\xC3\xA9.png");

    EXPECT_EQ(Units(MakeResourceUrlText(CTextRef("img\\caf\xE9.png"), false)), u"qvx:img/caf\u00e9.png");
}

TEST(NameForms, UnitsComeFromTheJavaString)
{
    CFakeJni jni;
    JavaNameForms forms = MakeNameForms(jni.Env(), jni.String(u"com.acme.Main"));
    EXPECT_EQ(Text(forms.ansi), "com.acme.Main");
    EXPECT_FALSE(forms.differ);
    EXPECT_EQ(Text(MakeNameForms(jni.Env(), nullptr).ansi), "");
    UrlCandidates url;
    EXPECT_TRUE(UrlEntryNames(jni.Env(), jni.String(u"qvx:a+b.txt"), url));
    EXPECT_EQ(url.count, 2);
}

TEST(EntryNames, ClassAndResourceNamesUseBackslashes)
{
    struct Case {
        const char* name;
        const char* form;
        bool isClass;
        const char* entry;
    };
    const Case cases[] = {
        {"class in a package", "com.acme.Main", true, "com\\acme\\Main.class"},
        {"class in the default package", "Main", true, "Main.class"},
        {"nested class", "com.acme.Main$1", true, "com\\acme\\Main$1.class"},
        {"plain resource", "com/acme/a.png", false, "com\\acme\\a.png"},
        {"current-folder step", "img/./a.png", false, "img\\a.png"},
        {"parent step", "img/x/../a.png", false, "img\\a.png"},
        {"resource at the top", "a.png", false, "a.png"},
    };
    for (const Case& c : cases) {
        CTextBuffer entry = c.isClass ? ClassEntryName(CTextRef(c.form)) : ResourceEntryName(CTextRef(c.form));
        EXPECT_EQ(Text(entry), c.entry) << c.name;
    }
}

TEST(ResourceUrls, EntryPathsBecomeQvxUrlTexts)
{
    struct Case {
        const char* name;
        const char* path;
        bool fromUtf8;
        std::u16string url;
    };
    const Case cases[] = {
        {"payload entry", "com\\acme\\logo.png", false, u"qvx:com/acme/logo.png"},
        {"nested jar entry", "libs\\x.jar!com\\acme\\logo.png", false, u"qvx:libs/x.jar!com/acme/logo.png"},
        {"already with slashes", "libs/x.jar!com/acme/logo.png", false, u"qvx:libs/x.jar!com/acme/logo.png"},
        {"no escaping", "my file#1.txt", false, u"qvx:my file#1.txt"},
        {"found through the UTF-8 form", "caf\xC3\xA9.txt", true, u"qvx:caf\u00e9.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Units(MakeResourceUrlText(CTextRef(c.path), c.fromUtf8)), c.url) << c.name;
}

TEST(ResourceUrls, UrlTextsGiveEntryNamesToTry)
{
    struct Case {
        std::u16string url;
        bool launcherUrl;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {u"qvx:com/a.png", true, {"com\\a.png"}},
        {u"QVX:com/a.png", true, {"com\\a.png"}},
        {u"qvx:libs/x.jar!com/a.png", true, {"libs\\x.jar!com\\a.png"}},
        {u"qvx:my%20file.txt", true, {"my%20file.txt", "my file.txt"}},
        {u"qvx:a+b.txt", true, {"a+b.txt", "a b.txt"}},
        {u"qvx:100%", true, {"100%"}},
        {u"qvx:/../a.png", true, {"a.png"}},
        {u"qvx:libs/x.jar!/../a.png", true, {"libs\\x.jar!a.png"}},
        {u"qvx:img/./a/../b.png", true, {"img\\b.png"}},
        {u"qvx:", true, {""}},
        {u"jar:file:/x.jar!/a.png", false, {}},
        {u"qv:a.png", false, {}},
        {u"", false, {}},
    };
    for (const Case& c : cases) {
        std::string label(c.url.begin(), c.url.end());
        UrlCandidates out;
        EXPECT_EQ(UrlEntryNames(c.url.c_str(), int32_t(c.url.size()), out), c.launcherUrl) << label;
        std::vector<std::string> names;
        for (int32_t i = 0; i < out.count; ++i)
            names.push_back(Text(out.names[i]));
        EXPECT_EQ(names, c.launcherUrl ? c.names : std::vector<std::string>()) << label;
    }
}

TEST(ResourceUrls, UrlTextKeepsItsNormalisedAnsiForm)
{
    UrlCandidates out;
    std::u16string url = u"qvx:com/acme/../Main.CLASS";
    ASSERT_TRUE(UrlEntryNames(url.c_str(), int32_t(url.size()), out));
    EXPECT_EQ(Text(out.ansiForm), "qvx:com\\Main.CLASS");
}

TEST(PercentDecoding, DecodesPlusAndEscapes)
{
    struct Case {
        const char* text;
        std::string decoded;
    };
    const Case cases[] = {
        {"plain.txt", "plain.txt"},
        {"my%20file", "my file"},
        {"a+b", "a b"},
        {"%%", "%"},
        {"100%%", "100%"},
        {"%41%62%7e%7E", "Ab~~"},
        {"%4", "%4"},
        {"%", "%"},
        {"%zz", "%zz"},
        {"%4g", "%4g"},
        {"%%41", "%41"},
        {"a%00b", std::string("a\0b", 3)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(PercentDecode(CTextRef(c.text))), c.decoded) << c.text;
}
