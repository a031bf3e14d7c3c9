// UTF-8 codec tables and the code-page conversions. The code-page cases pick a locale
// whose code page holds the letters used: UTF-8 on Linux, Windows-1252 under Wine.
#include "text/text_buffer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace {

std::u16string Units(const CWideTextRef& t) { return std::u16string(t.Data(), size_t(t.Length())); }
std::string Bytes(const CTextRef& t) { return std::string(t.Data(), size_t(t.Length())); }

class LocaleGuard {
public:
    LocaleGuard()
    {
        const char* names[] = {"C.UTF-8", "en_US.UTF-8", ".1252", "English_United States.1252"};
        for (const char* name : names)
            if (std::setlocale(LC_ALL, name)) {
                m_name = name;
                break;
            }
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, "C"); }
    bool IsUtf8() const { return m_name.find("UTF-8") != std::string::npos; }
    bool Found() const { return !m_name.empty(); }

private:
    std::string m_name;
};

} // namespace

TEST(Utf8, DecodingTable)
{
    struct Case { const char* name; std::string bytes; std::u16string units; };
    const std::vector<Case> cases = {
        {"ascii", "Az", u"Az"},
        {"two-byte e acute", "\xC3\xA9", u"\u00E9"},
        {"three-byte euro", "\xE2\x82\xAC", u"\u20AC"},
        {"broken two-byte form", "\xC3\x41", u"?A"},
        {"incomplete tail dropped", "x\xE2\x82", u"x"},
        {"four-byte form", "\xF0\x9F\x98\x80", u"????"},
        {"lone continuation", "\x80z", u"?z"},
        {"three-byte broken after one", "\xE2\x82q!", u"?q!"},
        {"stops at inner zero", std::string("a\0b", 3), u"a"},
    };
    for (const Case& c : cases) {
        CWideTextBuffer wide;
        wide.AssignFromUtf8(c.bytes.data(), int32_t(c.bytes.size()));
        EXPECT_EQ(Units(wide), c.units) << c.name;
        EXPECT_EQ(wide.Data()[wide.Length()], 0) << c.name;
    }
}

TEST(Utf8, EncodingTable)
{
    struct Case { const char* name; std::u16string units; std::string bytes; };
    const std::vector<Case> cases = {
        {"ascii", u"Az", "Az"},
        {"e acute", u"\u00E9", "\xC3\xA9"},
        {"euro", u"\u20AC", "\xE2\x82\xAC"},
        {"edge of two bytes", u"\u07FF", "\xDF\xBF"},
        {"surrogates one by one", u"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},
    };
    for (const Case& c : cases) {
        CTextBuffer text;
        text.AssignUtf8FromWide(c.units.c_str());
        EXPECT_EQ(Bytes(text), c.bytes) << c.name;
    }
}

TEST(Ansi, RoundTripThroughTheCodePage)
{
    LocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    const std::u16string name = u"caf\u00E9 na\u00EFve";
    CTextBuffer ansi;
    ansi.AssignAnsiFromWide(name.c_str());
    EXPECT_EQ(Bytes(ansi), locale.IsUtf8() ? "caf\xC3\xA9 na\xC3\xAFve" : "caf\xE9 na\xEFve");

    CWideTextBuffer back;
    back.AssignFromAnsi(ansi.Data());
    EXPECT_EQ(Units(back), name);

    // Counted input stops at the count and at a zero byte, whichever comes first.
    back.AssignFromAnsi("abc\0def", 7);
    EXPECT_EQ(Units(back), u"abc");
    back.AssignFromAnsi("abcdef", 2);
    EXPECT_EQ(Units(back), u"ab");
}

TEST(Ansi, UnrepresentableCharactersBecomeQuestionMarks)
{
    LocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    CTextBuffer ansi;
    // A lone surrogate has no form in any code page.
    const char16_t lone[] = {u'a', 0xD800, u'b', 0};
    ansi.AssignAnsiFromWide(lone);
    EXPECT_EQ(Bytes(ansi), "a?b");
    if (locale.IsUtf8()) {
        CWideTextBuffer wide;
        wide.AssignFromAnsi("\xFFok");
        EXPECT_EQ(Units(wide), u"?ok");
        const std::u16string smile = u"\U0001F600";
        ansi.AssignAnsiFromWide(smile.c_str());
        EXPECT_EQ(Bytes(ansi), "\xF0\x9F\x98\x80");
        wide.AssignFromAnsi(ansi.Data());
        EXPECT_EQ(Units(wide), smile);
    }
}
