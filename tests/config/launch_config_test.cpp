// The configuration store: the line scan and its key matching, the decoding of the
// texts, the trailer of executables written as files (finished, bare, truncated,
// hostile), the external files beside them, path resolution and the named reads.
#include "config/launch_config.h"
#include "config_fixture.h"
#include "os/process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace config_test;

namespace {

void CollectInto(void* context, const char* value)
{
    static_cast<std::vector<std::string>*>(context)->push_back(value);
}

std::vector<std::string> Values(const CLaunchConfig& config, const char* key, bool embeddedOnly = false,
                                const char* prefix = "")
{
    std::vector<std::string> values;
    config.ForEachValue(key, CollectInto, &values, embeddedOnly, false, prefix);
    return values;
}

// A program written into a scratch folder: the executable file and files beside it.
struct CProgram {
    CTempFolder folder;
    std::string exe;
    uint32_t archiveLength = 0;

    explicit CProgram(const std::string& blockText, const std::string& exeName = "app.exe")
    {
        exe = folder.Path(exeName);
        std::filesystem::create_directories(std::filesystem::path(exe).parent_path());
        WriteFile(exe, FinishedImage(FakeStub(), Block(blockText), SmallZip(), "", &archiveLength));
    }
    void Beside(const std::string& name, const std::string& bytes) const
    {
        WriteFile((std::filesystem::path(exe).parent_path() / name).string(), bytes);
    }
    void Load(CLaunchConfig& config) const { config.LoadFrom(exe.c_str(), archiveLength); }
};

} // namespace

TEST(LineReader, BreaksTable)
{
    struct Case { const char* name; std::string text; std::vector<std::string> lines; };
    const std::vector<Case> cases = {
        {"empty text", "", {}},
        {"no break", "a", {"a"}},
        {"CR LF", "a\r\nb", {"a", "b"}},
        {"LF CR is one break", "a\n\rb", {"a", "b"}},
        {"two CRs are two breaks", "a\r\rb", {"a", "", "b"}},
        {"two LFs are two breaks", "a\n\nb", {"a", "", "b"}},
        {"break before the end", "a\r\n", {"a"}},
        {"leading empty lines", "\r\n\r\nx", {"", "", "x"}},
        {"lone CR and LF", "a\rb\nc", {"a", "b", "c"}},
        {"stops at NUL", std::string("a\r\n\0b", 5), {"a"}},
    };
    for (const Case& c : cases) {
        CLineReader reader(c.text.c_str());
        CTextBuffer line;
        std::vector<std::string> lines;
        while (reader.ReadLine(line))
            lines.push_back(Bytes(line));
        EXPECT_EQ(lines, c.lines) << c.name;
        EXPECT_FALSE(reader.ReadLine(line)) << c.name << ": stays at the end";
    }
}

TEST(ForEachValue, KeyMatchingTable)
{
    CLaunchConfig config(false);
    const std::string block = Block(
        "mainclass com.example.Main\r\n"
        "\r\n"
        "minjre 1.8.0_40\r\n"
        "maxjre=11\r\n"
        "jvmdll = C:\\jvm.dll\r\n"
        "vm   =   server  \r\n"
        "   splashtitle   My App\r\n"
        "splash_x ignored\r\n"
        "SPLASH big.png\r\n"
        "jre_order bcs\r\n"
        "jre\tC:\\tab\r\n"
        "stdout==x\r\n"
        "# stderr is no comment syntax\r\n"
        "stderr2 not stderr\r\n"
        "appid\r\n"
        "appid second\r\n"
        "option -Xmx1g\r\n"
        "Option -XstartOnFirstThreadX\r\n");
    ASSERT_TRUE(config.AppendConfigText(reinterpret_cast<const unsigned char*>(block.data()), int32_t(block.size())));

    struct Case { const char* name; const char* key; const char* value; };
    const Case cases[] = {
        {"value after an empty line", "minjre", "1.8.0_40"},
        {"first line of the block", "mainclass", "com.example.Main"},
        {"key directly followed by =", "maxjre", "11"},
        {"blanks on both sides of =", "jvmdll", "C:\\jvm.dll"},
        {"trailing blanks stay", "vm", "server  "},
        {"leading blanks skipped", "splashtitle", "My App"},
        {"longer keys and capitals", "splash", "big.png"},
        {"jre_order is no jre; tab starts the value", "jre", "\tC:\\tab"},
        {"only one = removed", "stdout", "=x"},
        {"no comment syntax, no longer key", "stderr", ""},
        {"key alone gives an empty first value", "appid", ""},
        {"key asked in capitals", "MINJRE", "1.8.0_40"},
        {"absent key", "classpath", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bytes(config.GetValue(c.key)), c.value) << c.name;

    EXPECT_EQ(Values(config, "appid"), (std::vector<std::string>{"", "second"}));
    EXPECT_EQ(Values(config, "option"), (std::vector<std::string>{"-Xmx1g", "-XstartOnFirstThreadX"}));
    EXPECT_EQ(Values(config, "option", false, "-Xs"), (std::vector<std::string>{"-XstartOnFirstThreadX"}));
    EXPECT_EQ(Bytes(config.GetValueWithPrefix("option", "-XstartOnFirstThread")), "-XstartOnFirstThreadX");
    EXPECT_EQ(Bytes(config.GetValueWithPrefix("option", "-xstartonfirstthread")), "") << "prefix keeps its case";
    std::vector<std::string> visited;
    EXPECT_EQ(Bytes(config.ForEachValue("option", CollectInto, &visited, false, false, "")), "")
        << "a visitor run returns empty text";
}

TEST(AppendConfigText, DecodingTable)
{
    CLocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    struct Case { const char* name; std::string bytes; std::string utf8; };
    const std::vector<Case> cases = {
        {"UTF-8 mark", "\xEF\xBB\xBFk v\xC3\xA9", "k v\xC3\xA9"},
        {"UTF-8 keeps bytes after a zero", std::string("\xEF\xBB\xBF" "a\0b", 6), std::string("a\0b", 3)},
        {"UTF-16 LE", std::string("\xFF\xFEk\0 \0\xE9\0", 8), "k \xC3\xA9"},
        {"UTF-16 LE stops at a zero unit", std::string("\xFF\xFE" "a\0\0\0b\0", 8), "a"},
        {"UTF-16 LE odd byte dropped", std::string("\xFF\xFE" "a\0b", 5), "a"},
        {"UTF-16 BE", std::string("\xFE\xFF\0k\0\xE9\x20\xAC", 8), "k\xC3\xA9\xE2\x82\xAC"},
        {"ANSI code page", "k " + AnsiForm(u"caf\u00E9"), "k caf\xC3\xA9"},
        {"ANSI stops at a zero", std::string("ab\0cd", 5), "ab"},
        {"one byte", "k", "k"},
        {"nothing", "", ""},
    };
    for (const Case& c : cases) {
        CLaunchConfig config(false);
        ASSERT_TRUE(config.AppendConfigText(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                            int32_t(c.bytes.size())))
            << c.name;
        EXPECT_EQ(Bytes(config), c.utf8) << c.name;
    }
}

TEST(LoadFrom, TrailerTable)
{
    const std::string stub = FakeStub();
    const std::string block = Block("mainclass com.example.Main\r\n");
    const std::string zip = SmallZip();
    const std::string zipWithComment = SmallZip("archive comment");
    uint32_t a = 0, aComment = 0;
    const std::string finished = FinishedImage(stub, block, zip, "", &a);
    const int32_t trailer = int32_t(stub.size() + block.size() + 4);
    std::string hugeBlockLength = finished;
    hugeBlockLength.replace(size_t(trailer - 4), 4, LittleEndian32(0xFFFFFFF0u));
    std::string blockLengthToFileStart = finished;
    blockLengthToFileStart.replace(size_t(trailer - 4), 4, LittleEndian32(uint32_t(trailer - 4)));
    const std::string withoutNul = "\xEF\xBB\xBFmainclass NoNul";

    struct Case { const char* name; std::string image; uint32_t archiveLength; const char* mainClass; int32_t trailer; };
    const std::vector<Case> cases = {
        {"finished program", finished, a, "com.example.Main", trailer},
        {"archive with its own comment", FinishedImage(stub, block, zipWithComment, "", &aComment), aComment,
         "com.example.Main", trailer},
        {"bytes after the archive", FinishedImage(stub, block, zip, "appended bytes", nullptr), a,
         "com.example.Main", trailer},
        {"block without an archive", FinishedImage(stub, block, "", "", nullptr), 0, "com.example.Main", trailer},
        {"block without its NUL", FinishedImage(stub, withoutNul, zip, "", nullptr), a, "NoNul",
         int32_t(stub.size() + withoutNul.size() + 4)},
        {"block from the first byte", FinishedImage("", block, zip, "", nullptr), a, "com.example.Main",
         int32_t(block.size() + 4)},
        {"block length up to the first byte", blockLengthToFileStart, a, "", trailer},
        // Each of these must read nothing and nothing outside the file.
        {"bare stub", stub, 0, "", 0},
        {"empty file", "", 0, "", 0},
        {"shorter than a trailer", "0123456789", 0, "", 0},
        {"truncated download", finished.substr(0, finished.size() - 100), a, "", 0},
        {"archive longer than the file", finished, 0x7FFFFFFFu, "", 0},
        {"largest archive length", finished, 0xFFFFFFFFu, "", 0},
        {"block length beyond the file's start", hugeBlockLength, a, "", 0},
    };
    CTempFolder folder;
    for (const Case& c : cases) {
        std::string exe = folder.Path("app.exe");
        ASSERT_TRUE(WriteFile(exe, c.image)) << c.name;
        CLaunchConfig config(false);
        config.LoadFrom(exe.c_str(), c.archiveLength);
        EXPECT_EQ(Bytes(config.ReadMainClass()), c.mainClass) << c.name;
        EXPECT_EQ(config.TrailerPosition(), c.trailer) << c.name;
        EXPECT_EQ(config.ExternalLength(), 0) << c.name;
    }
    CLaunchConfig missing(false);
    missing.LoadFrom(folder.Path("no such file").c_str(), 0);
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(FindArchiveComment, Table)
{
    const std::string end = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    // Beyond 5 MB the window is size / 100 bytes: here 100000 for a file of 10 000 000.
    const auto sized = [&](size_t comment) {
        return std::string(10000000 - end.size() - comment, 'p') + end + std::string(comment, 'c');
    };
    struct Case { const char* name; std::string image; int64_t comment; };
    const std::vector<Case> cases = {
        {"end record last", "stub" + end, 0},
        {"comment after it", "stub" + end + "note", 4},
        {"last of two signatures wins", end + "stub" + end + "tail", 4},
        {"no signature", "stub without one", 0},
        {"shorter than an end record", std::string("PK\x05\x06", 4), 0},
        {"record at the window's first byte", end + std::string(51200, 'c'), 51200},
        {"record just before the window", end + std::string(51201, 'c'), 0},
        {"larger window of a large file", sized(90000), 90000},
        {"just before the larger window", sized(100001), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CLaunchConfig::FindArchiveComment(reinterpret_cast<const unsigned char*>(c.image.data()),
                                                    int64_t(c.image.size())),
                  c.comment)
            << c.name;
}

TEST(LoadFrom, ExternalFileOverridesAndDisableExternal)
{
    const std::string embedded = "mainclass Embedded\r\nminjre 1.6\r\noption -Demb=1\r\n";
    const std::string external = "mainclass External\r\nminjre 1.8\r\noption -Dext=1\r\noption -Dext=2";
    struct Case {
        const char* name;
        std::string embeddedExtra;
        std::string externalExtra;
        const char* minJre;
        std::vector<std::string> options;
        bool dropped;
    };
    const std::vector<Case> cases = {
        {"external overrides single values, comes first for lists", "", "", "1.8",
         {"-Dext=1", "-Dext=2", "-Demb=1"}, false},
        {"disableexternal in the block", "disableexternal true\r\n", "", "1.6", {"-Demb=1"}, true},
        {"disableexternal in any case", "disableexternal TRUE\r\n", "", "1.6", {"-Demb=1"}, true},
        {"disableexternal with another word", "disableexternal yes\r\n", "", "1.8",
         {"-Dext=1", "-Dext=2", "-Demb=1"}, false},
        {"disableexternal in the external file has no effect", "", "\r\ndisableexternal true", "1.8",
         {"-Dext=1", "-Dext=2", "-Demb=1"}, false},
    };
    for (const Case& c : cases) {
        CProgram program(embedded + c.embeddedExtra);
        program.Beside("app.exe.config", external + c.externalExtra);
        CLaunchConfig config(false);
        program.Load(config);
        EXPECT_EQ(Bytes(config.ReadMinJre()), c.minJre) << c.name;
        EXPECT_EQ(Bytes(config.ReadMainClass()), "Embedded") << c.name << ": mainclass only from the block";
        EXPECT_EQ(Values(config, "option"), c.options) << c.name;
        int32_t externalLength = c.dropped ? 0 : int32_t((external + c.externalExtra).size() + 2);
        EXPECT_EQ(config.ExternalLength(), externalLength) << c.name;
        EXPECT_EQ(Bytes(config).substr(0, 18), c.dropped ? "mainclass Embedded" : "mainclass External") << c.name;
    }
}

TEST(LoadFrom, ExternalFileEncodings)
{
    CLocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    const std::u16string title = u"Caf\u00E9 na\u00EFve";
    const std::string titleUtf8 = "Caf\xC3\xA9 na\xC3\xAFve";
    const std::u16string text = u"splashtitle " + title + u"\r\nminjre 1.7\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t u : text) {
        le += char(u & 0xFF), le += char(u >> 8);
        be += char(u >> 8), be += char(u & 0xFF);
    }
    struct Case { const char* name; std::string bytes; };
    const std::vector<Case> cases = {
        {"UTF-8 with mark", "\xEF\xBB\xBFsplashtitle " + titleUtf8 + "\r\nminjre 1.7\r\n"},
        {"UTF-16 little-endian", le},
        {"UTF-16 big-endian", be},
        {"ANSI code page", "splashtitle " + AnsiForm(title.c_str()) + "\r\nminjre 1.7\r\n"},
    };
    for (const Case& c : cases) {
        CProgram program("splashtitle Embedded\r\n");
        program.Beside("app.exe.config", c.bytes);
        CLaunchConfig config(false);
        program.Load(config);
        EXPECT_EQ(Bytes(config.GetValue("splashtitle", false, false)), titleUtf8) << c.name;
        EXPECT_EQ(Bytes(config.ReadSplashTitle()), AnsiForm(title.c_str())) << c.name;
        EXPECT_EQ(Bytes(config.ReadMinJre()), "1.7") << c.name;
    }
}

TEST(LoadFrom, CandidateNames)
{
    struct Case {
        const char* name;
        const char* exeName;
        std::vector<std::string> files;   // written beside the executable, value = own name
        const char* expected;             // "" when the embedded value stays
    };
    const std::vector<Case> cases = {
        {"full name plus .cfg first", "app.exe", {"app.exe.cfg", "app.exe.config", "app.cfg", "app.config"},
         "app.exe.cfg"},
        {"then full name plus .config", "app.exe", {"app.exe.config", "app.cfg", "app.config"}, "app.exe.config"},
        {"then extension replaced by .cfg", "app.exe", {"app.cfg", "app.config"}, "app.cfg"},
        {"then extension replaced by .config", "app.exe", {"app.config"}, "app.config"},
        {"only the last extension is replaced", "app.v2.exe", {"app.cfg", "app.v2.cfg"}, "app.v2.cfg"},
        {"no extension, dotted folder: name plus .cfg", "my.folder/app", {"app.cfg"}, "app.cfg"},
        {"no extension, dotted folder: name plus .config", "my.folder/app", {"app.config"}, "app.config"},
        {"no extension: the folder's dot is no extension", "my.folder/app", {"../my.cfg", "../my.config"}, ""},
        {"no candidate", "app.exe", {"other.cfg"}, ""},
    };
    for (const Case& c : cases) {
        CProgram program("appid embedded\r\n", c.exeName);
        for (const std::string& file : c.files)
            program.Beside(file, "appid " + file);
        CLaunchConfig config(false);
        program.Load(config);
        EXPECT_EQ(Bytes(config.ReadAppId()), *c.expected ? c.expected : "embedded")
            << c.name;
    }

    // A candidate that exists but cannot be read as a file is passed over.
    CProgram program("appid embedded\r\n");
    std::filesystem::create_directories(program.folder.Path("app.exe.cfg"));
    program.Beside("app.exe.config", "appid from .config");
    CLaunchConfig config(false);
    program.Load(config);
    EXPECT_EQ(Bytes(config.ReadAppId()), "from .config");
}

TEST(ResolveAppPath, Table)
{
    CProgram program("mainclass M\r\n");
    CTempFolder current;
    WriteFile(program.folder.Path("both.txt"), "x");
    WriteFile(current.Path("both.txt"), "x");
    WriteFile(current.Path("current.txt"), "x");
    const std::string saved = Bytes(GetCurrentFolderPath());
    ASSERT_TRUE(SetCurrentFolder(current.Path().c_str()));
    CLaunchConfig config(false);
    program.Load(config);
    ASSERT_TRUE(SetCurrentFolder(saved.c_str()));

    const std::string exeFolder = Bytes(config.GetExeFolder());
    const std::string currentFolder = Bytes(config.GetCurrentFolder());
    ASSERT_EQ(exeFolder, program.exe.substr(0, program.exe.size() - std::string("app.exe").size()));
    ASSERT_EQ(currentFolder.back(), '/') << "captured current folder gets a separator";

    struct Case { const char* name; const char* path; std::string resolved; };
    const std::vector<Case> cases = {
        {"empty", "", ""},
        {"in both folders: the executable's", "both.txt", exeFolder + "both.txt"},
        {"only in the captured current folder", "current.txt", currentFolder + "current.txt"},
        {"in neither: the executable's", "neither.txt", exeFolder + "neither.txt"},
        {"drive letter unchanged", "C:rel.txt", "C:rel.txt"},
        {"backslash root unchanged", "\\srv\\x", "\\srv\\x"},
        {"slash root unchanged", "/opt/x", "/opt/x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bytes(config.ResolveAppPath(CTextRef(c.path))), c.resolved) << c.name;

    // The captured folder counts, not the live one, until it is refreshed.
    ASSERT_TRUE(SetCurrentFolder(program.folder.Path().c_str()));
    EXPECT_EQ(Bytes(config.ResolveAppPath(CTextRef("current.txt"))), currentFolder + "current.txt");
    config.RefreshCurrentFolder();
    EXPECT_EQ(Bytes(config.ResolveAppPath(CTextRef("current.txt"))), exeFolder + "current.txt");
    ASSERT_TRUE(SetCurrentFolder(saved.c_str()));
}

TEST(NamedReads, EachKeysRow)
{
    CProgram program(
        "mainclass com.example.Main\r\n"
        "compatible true\r\n"
        "minjre 1.6\r\n"
        "maxjre 17\r\n"
        "assystemclassloader False\r\n"
        "jre_order ce\r\n"
        "jvmdll %TOVARIN_CFG_ROOT%/jvm.dll\r\n"
        "vm %TOVARIN_CFG_VM%\r\n"
        "wildcard all\r\n"
        "singleinstance TRUE\r\n"
        "appid Vendor\\App\r\n"
        "stdout $TOVARIN_CFG_ROOT/out.txt\r\n"
        "stderr ${TOVARIN_CFG_ROOT}/err.txt\r\n"
        "forcecwd %APPLICATION_HOME%data\r\n"
        "splash logo.png\r\n"
        "splashtitle %TOVARIN_CFG_ROOT%\r\n"
        "splashcloseonwindow true\r\n");
    program.Beside("app.exe.config", "mainclass External\r\ncompatible false\r\nminjre 1.8\r\n");
    program.Beside("logo.png", "png");
    ASSERT_TRUE(SetEnvironmentValue("TOVARIN_CFG_ROOT", "/srv/root"));
    ASSERT_TRUE(SetEnvironmentValue("TOVARIN_CFG_VM", "server"));
    CLaunchConfig config(false);
    program.Load(config);
    const std::string exeFolder = Bytes(config.GetExeFolder());

    using Read = CTextBuffer (CLaunchConfig::*)() const;
    struct Case { const char* name; Read read; std::string value; };
    const std::vector<Case> cases = {
        {"mainclass: embedded only", &CLaunchConfig::ReadMainClass, "com.example.Main"},
        {"compatible: embedded only", &CLaunchConfig::ReadCompatible, "true"},
        {"minjre: external first", &CLaunchConfig::ReadMinJre, "1.8"},
        {"maxjre", &CLaunchConfig::ReadMaxJre, "17"},
        {"assystemclassloader as written", &CLaunchConfig::ReadAsSystemClassLoader, "False"},
        {"jre_order", &CLaunchConfig::ReadJreOrder, "ce"},
        {"jvmdll expanded, absolute stays", &CLaunchConfig::ReadJvmDll, "/srv/root/jvm.dll"},
        {"jre absent: no default here", &CLaunchConfig::ReadJre, ""},
        {"vm expanded", &CLaunchConfig::ReadVm, "server"},
        {"wildcard", &CLaunchConfig::ReadWildcard, "all"},
        {"singleinstance as written", &CLaunchConfig::ReadSingleInstance, "TRUE"},
        {"appid as stored", &CLaunchConfig::ReadAppId, "Vendor\\App"},
        {"stdout expanded", &CLaunchConfig::ReadStdout, "/srv/root/out.txt"},
        {"stderr expanded", &CLaunchConfig::ReadStderr, "/srv/root/err.txt"},
        {"forcecwd expanded with the store's own names", &CLaunchConfig::ReadForceCwd, exeFolder + "data"},
        {"splash expanded and resolved", &CLaunchConfig::ReadSplash, exeFolder + "logo.png"},
        {"splashtitle not expanded", &CLaunchConfig::ReadSplashTitle, "%TOVARIN_CFG_ROOT%"},
        {"splashcloseonwindow", &CLaunchConfig::ReadSplashCloseOnWindow, "true"},
        {"disableexternal absent", &CLaunchConfig::ReadDisableExternal, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bytes((config.*c.read)()), c.value) << c.name;

    // vm is read once: a later change of the environment is not seen.
    ASSERT_TRUE(SetEnvironmentValue("TOVARIN_CFG_VM", "client"));
    EXPECT_EQ(Bytes(config.ReadVm()), "server");
    SetEnvironmentValue("TOVARIN_CFG_ROOT", nullptr);
    SetEnvironmentValue("TOVARIN_CFG_VM", nullptr);
}

TEST(CollectValues, ExpandsEveryValueInLineOrder)
{
    CLocaleGuard locale;
    ASSERT_TRUE(locale.Found());
    CProgram program("property p=$TOVARIN_CFG_NAME-\xC3\xA9\r\noption -Dlast=%TOVARIN_CFG_NAME%\r\n");
    program.Beside("app.exe.config", "option -Dfirst=1\r\noption $$TOVARIN_CFG_NAME\r\n");
    ASSERT_TRUE(SetEnvironmentValue("TOVARIN_CFG_NAME", "n"));
    CLaunchConfig config(false);
    program.Load(config);

    struct Case { const char* name; const char* key; bool convert; std::vector<std::string> values; };
    const std::vector<Case> cases = {
        {"options, external first", "option", true, {"-Dfirst=1", "$TOVARIN_CFG_NAME", "-Dlast=n"}},
        {"property kept in UTF-8", "property", false, {"p=n-\xC3\xA9"}},
        {"property converted", "property", true, {"p=n-" + AnsiForm(u"\u00E9")}},
        {"absent key", "export", true, {}},
    };
    for (const Case& c : cases) {
        CTextList list;
        config.CollectValues(c.key, list, c.convert);
        std::vector<std::string> values;
        for (int32_t i = 0; i < list.Count(); ++i)
            values.push_back(list.StringAt(i));
        EXPECT_EQ(values, c.values) << c.name;
    }
    SetEnvironmentValue("TOVARIN_CFG_NAME", nullptr);
}
