// Value expansion: every reference form, the order of the sources (environment, the
// launcher's own names, the registry), the output encodings, and registry references
// against values this test writes itself (under Wine) or against no registry (Linux).
#include "config/launch_config.h"
#include "config/value_expansion.h"
#include "config_fixture.h"
#include "os/process.h"
#include "os/registry.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace config_test;

namespace {

// Sets variables for one test and puts back what was there before.
class CEnvironmentGuard {
public:
    virtual ~CEnvironmentGuard()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            SetEnvironmentValue(it->name.c_str(), it->had ? it->value.c_str() : nullptr);
    }
    void Set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.push_back({name, old != nullptr, old ? old : ""});
        SetEnvironmentValue(name, value);
    }

private:
    struct Saved { std::string name; bool had; std::string value; };
    std::vector<Saved> m_saved;
};

struct CLoadedConfig {
    CTempFolder folder;
    CLaunchConfig config{false};
    CLoadedConfig()
    {
        std::string exe = folder.Path("app.exe");
        uint32_t a = 0;
        WriteFile(exe, FinishedImage(FakeStub(), Block("mainclass M\r\n"), SmallZip(), "", &a));
        config.LoadFrom(exe.c_str(), a);
    }
};

std::string Expand(const std::string& text, const CLaunchConfig* config, bool utf8 = false)
{
    return Bytes(ExpandValue(CTextBuffer(text.c_str()), utf8, config));
}

} // namespace

TEST(ExpandValue, FormsTable)
{
    CEnvironmentGuard env;
    env.Set("TOVARIN_EXP_TEMP", "C:\\Temp");
    env.Set("TOVARIN_EXP_REF", "%TOVARIN_EXP_TEMP%");
    env.Set("TOVARIN_EXP_NOPE", nullptr);
    CLoadedConfig loaded;
    const std::string t = "C:\\Temp";

    struct Case { const char* name; const char* text; std::string expanded; };
    const std::vector<Case> cases = {
        {"percent form", "%TOVARIN_EXP_TEMP%\\file.txt", t + "\\file.txt"},
        {"dollar form", "$TOVARIN_EXP_TEMP\\file.txt", t + "\\file.txt"},
        {"dollar brace form", "${TOVARIN_EXP_TEMP}\\file.txt", t + "\\file.txt"},
        {"percent brace form", "%{TOVARIN_EXP_TEMP}%\\file.txt", t + "\\file.txt"},
        {"name in another case", "%tovarin_exp_temp%", t},
        {"two references back to back", "$TOVARIN_EXP_TEMP$TOVARIN_EXP_TEMP", t + t},
        {"dot ends a dollar name", "a$TOVARIN_EXP_TEMP.b", "a" + t + ".b"},
        {"percent without its closing percent", "%TOVARIN_EXP_TEMP x", "%TOVARIN_EXP_TEMP x"},
        {"percent brace without its closing percent", "%{TOVARIN_EXP_TEMP}x", "%{TOVARIN_EXP_TEMP}x"},
        {"dollar brace runs to the end", "${TOVARIN_EXP_TEMP", t},
        {"percent brace unterminated", "%{TOVARIN_EXP_TEMP", "%{TOVARIN_EXP_TEMP"},
        {"doubled markers", "100%% and $$5", "100% and $5"},
        {"doubled markers around a name", "%%TOVARIN_EXP_TEMP%%", "%TOVARIN_EXP_TEMP%"},
        {"lone percent at the end", "50%", "50%"},
        {"lone dollar at the end", "cost $", "cost $"},
        {"parenthesis is no name", "%(x)%", "%(x)%"},
        {"empty braces", "a${}b", "a${}b"},
        {"unknown percent name stays", "%TOVARIN_EXP_NOPE%/x", "%TOVARIN_EXP_NOPE%/x"},
        {"unknown dollar name stays", "$TOVARIN_EXP_NOPE/x", "$TOVARIN_EXP_NOPE/x"},
        {"unknown braced name stays", "${TOVARIN_EXP_NOPE}", "${TOVARIN_EXP_NOPE}"},
        {"replacements are not scanned again", "%TOVARIN_EXP_REF%", "%TOVARIN_EXP_TEMP%"},
        {"nothing to expand", "plain text", "plain text"},
        {"empty text", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.text, &loaded.config), c.expanded) << c.name;
}

TEST(ExpandValue, SpecialNamesAndTheEnvironmentBeforeThem)
{
    CEnvironmentGuard env;
    env.Set("PWD", nullptr);
    env.Set("HOME", nullptr);
    env.Set("QVX_APP_PATH", nullptr);
    env.Set("APPLICATION_HOME", nullptr);
    env.Set("HOMEDRIVE", "C:");
    env.Set("HOMEPATH", "\\Users\\me");
    CLoadedConfig loaded;
    const CLaunchConfig& config = loaded.config;
    const std::string exeFolder = Bytes(config.GetExeFolder());

    struct Case { const char* name; const char* text; std::string expanded; };
    const std::vector<Case> cases = {
        {"executable's folder", "%APPLICATION_HOME%lib", exeFolder + "lib"},
        {"braced", "${APPLICATION_HOME}lib", exeFolder + "lib"},
        {"current folder", "%PWD%", Bytes(config.GetCurrentFolder())},
        {"current folder in lower case", "%pwd%", Bytes(config.GetCurrentFolder())},
        {"executable's path", "$QVX_APP_PATH", Bytes(config.GetExePath())},
        {"home drive and path joined", "%HOME%\\x", "C:\\Users\\me\\x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.text, &config), c.expanded) << c.name;

    // HOME is kept once it was made; variables named like a special name win over it.
    env.Set("HOMEPATH", "\\Other");
    EXPECT_EQ(Expand("%HOME%", &config), "C:\\Users\\me") << "home kept";
    env.Set("PWD", "/from/env");
    env.Set("HOME", "/home/env");
    EXPECT_EQ(Expand("%PWD%|$HOME", &config), "/from/env|/home/env") << "environment first";

    // Without both parts HOME is empty text, which still counts as found.
    env.Set("HOME", nullptr);
    env.Set("HOMEDRIVE", nullptr);
    CLoadedConfig fresh;
    EXPECT_EQ(Expand("[%HOME%]", &fresh.config), "[]") << "half a home";

    // The two-argument form reaches the store through g_config.
    EXPECT_EQ(Bytes(ExpandValue(CTextBuffer("%APPLICATION_HOME%"), false)), "%APPLICATION_HOME%") << "no store";
    g_config = &loaded.config;
    EXPECT_EQ(Bytes(ExpandValue(CTextBuffer("%APPLICATION_HOME%"), false)), exeFolder) << "published store";
    g_config = nullptr;
}

TEST(ExpandValue, Utf8OutputConvertsOnlyReplacements)
{
    CLocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    const std::string ansi = AnsiForm(u"\u00E9t\u00E9");
    CEnvironmentGuard env;
    env.Set("TOVARIN_EXP_ACCENT", ansi.c_str());
    CLoadedConfig loaded;
    const std::string text = "caf\xC3\xA9-%TOVARIN_EXP_ACCENT%";
    EXPECT_EQ(Expand(text, &loaded.config, true), "caf\xC3\xA9-\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(Expand(text, &loaded.config, false), "caf\xC3\xA9-" + ansi);
}

TEST(ExpandValue, RegistryReferencesWithoutAKey)
{
    CLoadedConfig loaded;
    struct Case { const char* name; const char* text; const char* expanded; };
    const Case cases[] = {
        {"missing key, fallback", "${HKLM\\Software\\TovarinNoSuchKey\\v|fallback}", "fallback"},
        {"missing key, no fallback", "${HKLM\\Software\\TovarinNoSuchKey\\v}",
         "${HKLM\\Software\\TovarinNoSuchKey\\v}"},
        {"percent brace with fallback", "%{HKCU\\Software\\TovarinNoSuchKey\\v|fb}%", "fb"},
        {"long root name with fallback", "${HKEY_LOCAL_MACHINE\\Software\\TovarinNoSuchKey\\v|fb}", "fb"},
        {"fallback without a root", "${anything|fb}", "fb"},
        {"empty fallback", "[${HKCU\\Software\\TovarinNoSuchKey\\v|}]", "[]"},
        {"lower-case root is no root", "${hkcu\\Software\\x\\y}", "${hkcu\\Software\\x\\y}"},
        {"lower-case root, fallback", "${hkcu\\Software\\x\\y|fb}", "fb"},
        {"root without a backslash", "${HKLM}", "${HKLM}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.text, &loaded.config), c.expanded) << c.name;
}

TEST(ExpandValue, RegistryValues)
{
    if (!HasTestRegistry())
        GTEST_SKIP() << "no registry on this system";
    CLocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    CEnvironmentGuard env;
    env.Set("TOVARIN_EXP_TEMP", "C:\\Temp");
    const std::string path = UniqueTestRegistryPath("config");
    const std::string ref = "HKCU\\" + path + "\\";
    struct Cleanup {
        std::string path;
        ~Cleanup() { DeleteTestRegistryKey(path); }
    } cleanup{path};
    const uint32_t all = 0xFFFFFFFFu, answer = 42;
    const unsigned char big[] = {0x00, 0x00, 0x01, 0x00};
    ASSERT_TRUE(WriteTestRegistryString(path, "Str", CRegistryKey::kString, "registry text"));
    ASSERT_TRUE(WriteTestRegistryString(path, "", CRegistryKey::kString, "default text"));
    ASSERT_TRUE(WriteTestRegistryValue(path, "All", CRegistryKey::kDword, &all, 4));
    ASSERT_TRUE(WriteTestRegistryValue(path, "Answer", CRegistryKey::kDword, &answer, 4));
    ASSERT_TRUE(WriteTestRegistryValue(path, "Big", CRegistryKey::kDwordBigEndian, big, 4));
    ASSERT_TRUE(WriteTestRegistryValue(path, "Short", CRegistryKey::kDword, &answer, 2));
    ASSERT_TRUE(WriteTestRegistryValue(path, "Bin", CRegistryKey::kBinary, "\x01\x02", 2));
    ASSERT_TRUE(WriteTestRegistryString(path, "Exp", CRegistryKey::kExpandString, "%TOVARIN_EXP_TEMP%\\sub"));
    ASSERT_TRUE(WriteTestRegistryString(path, "Accent", CRegistryKey::kString, AnsiForm(u"\u00E9")));
    ASSERT_TRUE(WriteTestRegistryString(path, "Self", CRegistryKey::kExpandString, "a${" + ref + "Self}"));
    ASSERT_TRUE(WriteTestRegistryString(path, "Twice", CRegistryKey::kExpandString,
                                        "${" + ref + "Twice}${" + ref + "Twice}"));
    CLoadedConfig loaded;

    struct Case { const char* name; std::string text; std::string expanded; bool utf8; };
    const std::vector<Case> cases = {
        {"string value", "${" + ref + "Str}", "registry text", false},
        {"long root name", "${HKEY_CURRENT_USER\\" + path + "\\Str}", "registry text", false},
        {"percent brace form", "%{" + ref + "Str}%!", "registry text!", false},
        {"fallback unused when the value exists", "${" + ref + "Str|fb}", "registry text", false},
        {"default value", "${" + ref + "}", "default text", false},
        {"missing value, fallback", "${" + ref + "Missing|fb}", "fb", false},
        {"missing value stays", "${" + ref + "Missing}", "${" + ref + "Missing}", false},
        {"largest unsigned number", "${" + ref + "All}", "-1", false},
        {"number", "${" + ref + "Answer}", "42", false},
        {"big-endian number", "${" + ref + "Big}", "256", false},
        {"number of two bytes cannot be read", "${" + ref + "Short|fb}", "fb", false},
        {"other types give empty text", "[${" + ref + "Bin}]", "[]", false},
        {"expandable string", "${" + ref + "Exp}", "C:\\Temp\\sub", false},
        {"registry text to UTF-8", "${" + ref + "Accent}", "\xC3\xA9", true},
        {"self reference stops at the depth bound", "${" + ref + "Self}", "aaaaaaaa${" + ref + "Self}", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.text, &loaded.config, c.utf8), c.expanded) << c.name;

    // Two self references per level would double at every level; the budget ends it.
    std::string twice = Expand("${" + ref + "Twice}", &loaded.config);
    EXPECT_LT(twice.size(), size_t(200) * ref.size()) << "twice-self-referencing value";
    EXPECT_EQ(Expand("${" + ref + "Str}", &loaded.config), "registry text") << "budget renewed for the next value";
}
