// The runtime search over runtime trees made in a temporary folder. The trees follow the
// layout of the system the test runs on (Windows under Wine, Linux on the host); the
// library file need not be a real library for the search.
#include "jre/jre_locator.h"

#include "config/launch_config.h"
#include "os/process.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class JreLocatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("tovarin-jre-" + std::to_string(std::rand()));
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    // A runtime home with a library at each relative path given ("/" separated).
    std::string MakeHome(const std::string& name, std::initializer_list<std::string> libraries)
    {
        fs::path home = m_root / name;
        fs::create_directories(home);
        for (const std::string& library : libraries) {
            fs::path file = home / fs::path(library).make_preferred();
            fs::create_directories(file.parent_path());
            std::ofstream(file) << "not a real library";
        }
        return home.string();
    }

    // A configuration holding exactly these lines (key, blank, value).
    void Configure(const std::string& lines) { m_config.Assign(lines.c_str()); }

    static std::string Library() { return NativeRuntimeLayout().libraryName; }
    static std::string Normal(std::string path)
    {
        for (char& c : path)
            if (c == '\\')
                c = '/';
        return path;
    }

    fs::path m_root;
    CLaunchConfig m_config{false};
};

// Where the flavour folders of a runtime home lie, and a development kit's runtime.
#ifdef _WIN32
const std::string kFlavourParent = "bin/";
const std::string kKitRuntime = "jre/bin/";
#else
const std::string kFlavourParent = "lib/";
const std::string kKitRuntime = "jre/lib/amd64/";
#endif

} // namespace

TEST_F(JreLocatorTest, RuntimeOrder)
{
    struct Case { const char* name; const char* lines; const char* order; };
    const Case cases[] = {
        {"absent", "", "cbsie"},
        {"empty", "jre_order \r\n", "cbsie"},
        {"no source letters", "jre_order xyz\r\n", "cbsie"},
        {"capital letter lowered", "jre_order E\r\n", "e"},
        {"blank kept, skipped later", "jre_order s e\r\n", "s e"},
    };
    for (const Case& c : cases) {
        Configure(c.lines);
        EXPECT_STREQ(CJreLocator(m_config, NativeRuntimeLayout()).RuntimeOrder().Data(), c.order) << c.name;
    }
}

TEST_F(JreLocatorTest, ProbeOrderWithinAndAcrossLocations)
{
    const std::string lib = Library();
    const std::string dir = kFlavourParent;
    CJreLocator locator(m_config, NativeRuntimeLayout());

    std::string direct = MakeHome("direct", {lib, dir + "server/" + lib});
    EXPECT_EQ(Normal(locator.ProbeRuntimeHome(CTextRef(direct.c_str())).Data()), Normal(direct + "/" + lib))
        << "a library in the home itself wins";

    std::string sub = MakeHome("sub", {dir + "client/" + lib});
    EXPECT_EQ(Normal(locator.ProbeRuntimeHome(CTextRef(sub.c_str())).Data()), Normal(sub + "/" + dir + "client/" + lib))
        << "found through the subfolder enumeration";

    std::string withSeparator = sub + "/";
    EXPECT_EQ(Normal(locator.ProbeRuntimeHome(CTextRef(withSeparator.c_str())).Data()),
              Normal(sub + "/" + dir + "client/" + lib))
        << "a trailing separator gets no second one";

    std::string empty = MakeHome("empty", {});
    EXPECT_STREQ(locator.ProbeRuntimeHome(CTextRef(empty.c_str())).Data(), "");

    // The flavour folder beats any other subfolder of the same location.
    std::string both = MakeHome("both", {dir + "aaa/" + lib, dir + "server/" + lib});
    // The flavour is read once per configuration, so each case gets its own.
    CLaunchConfig server(false);
    server.Assign("vm server\r\n");
    CJreLocator flavoured(server, NativeRuntimeLayout());
    EXPECT_EQ(Normal(flavoured.ProbeRuntimeHome(CTextRef(both.c_str())).Data()), Normal(both + "/" + dir + "server/" + lib));
    CLaunchConfig oneLetter(false);
    oneLetter.Assign("vm s\r\n");
    EXPECT_STREQ(CJreLocator(oneLetter, NativeRuntimeLayout()).ProbeRuntimeHome(CTextRef(both.c_str())).Data(),
                 CJreLocator(m_config, NativeRuntimeLayout()).ProbeRuntimeHome(CTextRef(both.c_str())).Data())
        << "one letter is no flavour";
}

TEST_F(JreLocatorTest, SourcesInTheConfiguredOrder)
{
    const std::string lib = Library();
    std::string configured = MakeHome("configured", {"custom/" + lib});
    std::string jdk = MakeHome("jdk", {kKitRuntime + "server/" + lib});
    std::string kitLibrary = jdk + "/" + kKitRuntime + "server/" + lib;
    std::string configuredLibrary = configured + "/custom/" + lib;

    struct Case { const char* name; std::string lines; std::string found; };
    const Case cases[] = {
        {"configured library", "jre_order c\r\njvmdll " + configuredLibrary + "\r\n", configuredLibrary},
        {"missing configured library, nothing else", "jre_order c\r\njvmdll " + configured + "/none\r\n", ""},
        {"missing library falls through to the environment",
         "jre_order ce\r\njvmdll " + configured + "/none\r\n", kitLibrary},
        {"environment only, JRE_HOME empty", "jre_order E\r\n", kitLibrary},
    };
    // An empty JRE_HOME is skipped; JAVA_HOME names a kit whose runtime lies below it.
    SetEnvironmentValue("JRE_HOME", "");
    SetEnvironmentValue("JAVA_HOME", jdk.c_str());
    for (const Case& c : cases) {
        Configure(c.lines);
        EXPECT_EQ(Normal(CJreLocator(m_config, NativeRuntimeLayout()).Search().Data()), Normal(c.found)) << c.name;
    }
}

// The vendors' runtime keys under HKEY_LOCAL_MACHINE, written by the test (Wine lets it).
TEST_F(JreLocatorTest, RegistrySources)
{
    if (!HasTestRegistry())
        GTEST_SKIP() << "no registry on this system";
    const std::string lib = Library();
    std::string client = MakeHome("rt", {"bin/client/" + lib, "bin/server/" + lib});
    std::string javaHome = MakeHome("home", {"bin/server/" + lib});
    const char* javaSoft = "SOFTWARE\\JavaSoft\\JRE";
    const char* ibm = "SOFTWARE\\IBM\\Java2 Runtime Environment";

    struct Value { const char* key; const char* name; std::string text; };
    struct Case { const char* name; const char* lines; std::vector<Value> values; std::string found; };
    const Case cases[] = {
        {"RuntimeLib used as it stands", "jre_order s\r\n",
         {{javaSoft, "CurrentVersion", "1.8"}, {"SOFTWARE\\JavaSoft\\JRE\\1.8", "RuntimeLib", client + "\\bin\\client\\" + lib}},
         client + "/bin/client/" + lib},
        {"a flavour probes the bin folder", "jre_order s\r\nvm server\r\n",
         {{javaSoft, "CurrentVersion", "1.8"}, {"SOFTWARE\\JavaSoft\\JRE\\1.8", "RuntimeLib", client + "\\bin\\client\\" + lib}},
         client + "/bin/server/" + lib},
        {"JavaHome without RuntimeLib", "jre_order i\r\n",
         {{ibm, "CurrentVersion", "7"}, {"SOFTWARE\\IBM\\Java2 Runtime Environment\\7", "JavaHome", javaHome}},
         javaHome + "/bin/server/" + lib},
        {"version subkey missing", "jre_order s\r\n", {{javaSoft, "CurrentVersion", "9"}}, ""},
    };
    for (const Case& c : cases) {
        DeleteMachineRegistryKey(javaSoft);
        DeleteMachineRegistryKey(ibm);
        for (const Value& v : c.values)
            ASSERT_TRUE(WriteMachineRegistryString(v.key, v.name, v.text)) << c.name;
        CLaunchConfig config(false);
        config.Assign(c.lines);
        EXPECT_EQ(Normal(CJreLocator(config, NativeRuntimeLayout()).Search().Data()), Normal(c.found)) << c.name;
    }
    DeleteMachineRegistryKey(javaSoft);
    DeleteMachineRegistryKey(ibm);
}
