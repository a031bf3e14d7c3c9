// End to end: copies of built executables with a configuration appended read it back
// from their own file. The probe (the launcher's objects with a main that prints values)
// shows the values; the shipped stub shows, through its debug dump, that it reads the
// archive-length field patched into its own data.
#include "child_process.h"
#include "config_fixture.h"
#include "os/process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace config_test;

namespace {

const std::string kMarker = "TOVARIN-ARCHIVELEN";

std::string BuiltProgram(const char* relative)
{
    std::string self = Bytes(GetExecutablePath());
    return (std::filesystem::path(self).parent_path() / relative).string();
}

std::string ExeSuffix()
{
#ifdef _WIN32
    return ".exe";
#else
    return "";
#endif
}

size_t CountOccurrences(const std::string& bytes, const std::string& what)
{
    size_t count = 0;
    for (size_t at = bytes.find(what); at != std::string::npos; at = bytes.find(what, at + 1))
        ++count;
    return count;
}

// The stub's bytes with A written into the field before the marker.
std::string Patched(std::string stub, uint32_t archiveLength)
{
    size_t at = stub.find(kMarker);
    if (at != std::string::npos && at >= 4)
        stub.replace(at - 4, 4, LittleEndian32(archiveLength));
    return stub;
}

bool WriteProgram(const std::string& path, const std::string& bytes)
{
    if (!WriteFile(path, bytes))
        return false;
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    return true;
}

std::string WithoutCarriageReturns(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

} // namespace

TEST(StubConfig, ProbeReadsItsOwnBlock)
{
    const std::string probe = ReadFile(BuiltProgram(("config_probe" + ExeSuffix()).c_str()));
    ASSERT_FALSE(probe.empty());
    ASSERT_EQ(CountOccurrences(probe, kMarker), 1u) << "the build step needs exactly one field";
    ASSERT_EQ(probe.substr(probe.find(kMarker) - 4, 4), std::string(4, '\0')) << "a bare field holds 0";

    const std::string block = Block("mainclass com.example.Main\r\nminjre 1.8\r\n");
    const std::string zip = SmallZip();
    const uint32_t a = uint32_t(zip.size());
    const std::string finished = FinishedImage(Patched(probe, a), block, zip, "", nullptr);
    const std::string blockTrailer = std::to_string(probe.size() + block.size() + 4);
    const std::string external = "minjre 11\r\nmainclass Other";

    struct Case {
        const char* name;
        std::string image;
        std::string external;   // beside the copy, name + ".config"
        std::string expected;
        bool exact;             // false: only "mainclass=" must come back empty
    };
    const std::vector<Case> cases = {
        {"finished program", finished, "",
         "mainclass=com.example.Main\nminjre=1.8\ntrailer=" + blockTrailer + " external=0\n", true},
        {"archive comment and bytes after the archive",
         FinishedImage(Patched(probe, a), block, SmallZip("zip note"), "trailing bytes", nullptr),
         "", "mainclass=com.example.Main\nminjre=1.8\ntrailer=" + blockTrailer + " external=0\n", true},
        {"external file beside it", finished, external,
         "mainclass=Other\nminjre=11\ntrailer=" + blockTrailer + " external=" +
             std::to_string(external.size() + 2) + "\n",
         true},
        {"bare copy", probe, "", "mainclass=\n", false},
        {"truncated download", finished.substr(0, finished.size() - 64), "", "mainclass=\n", false},
        {"hostile archive length", FinishedImage(Patched(probe, 0xFFFFFFF0u), block, zip, "", nullptr), "",
         "mainclass=\nminjre=\ntrailer=0 external=0\n", true},
    };
    CTempFolder folder;
    int index = 0;
    for (const Case& c : cases) {
        const std::string copy = folder.Path("probe" + std::to_string(++index) + ExeSuffix());
        ASSERT_TRUE(WriteProgram(copy, c.image)) << c.name;
        if (!c.external.empty()) {
            ASSERT_TRUE(WriteFile(copy + ".config", c.external)) << c.name;
        }
        ChildOptions options;
        options.arguments = {"mainclass", "minjre"};
        ChildResult run = RunChild(copy, options);
        ASSERT_FALSE(run.timedOut) << c.name;
        std::string output = WithoutCarriageReturns(run.out);
        EXPECT_EQ(run.exitCode, 0) << c.name;
        if (c.exact)
            EXPECT_EQ(output, c.expected) << c.name;
        else
            EXPECT_EQ(output.substr(0, c.expected.size()), c.expected) << c.name;
    }
}

TEST(StubConfig, ShippedStubReadsItsPatchedField)
{
    const std::string stub = ReadFile(BuiltProgram(TOVARIN_STUB_RELATIVE));
    ASSERT_FALSE(stub.empty()) << TOVARIN_STUB_RELATIVE;
    ASSERT_EQ(CountOccurrences(stub, kMarker), 1u);

    // Nothing to launch in the block: the stub reads it and ends as a bare one does.
    const std::string zip = SmallZip();
    const uint32_t a = uint32_t(zip.size());
    std::string shown;
    for (int i = 0; i < 4; ++i) {
        unsigned char b = (a >> (8 * i)) & 0xFF;
        shown += b < 32 ? '.' : char(b);
    }
    struct Case { const char* name; std::string image; std::string firstLine; };
    const std::vector<Case> cases = {
        {"bare stub", stub, "...." + kMarker},
        {"finished stub", FinishedImage(Patched(stub, a), Block("splashtitle Probe\r\n"), zip, "", nullptr),
         shown + kMarker},
    };
    CTempFolder folder;
    struct DebugDump {
        DebugDump() { SetEnvironmentValue("_TOVARIN_BINARY_DEBUG_", "1"); }
        ~DebugDump() { SetEnvironmentValue("_TOVARIN_BINARY_DEBUG_", nullptr); }
    } dump;
    int index = 0;
    for (const Case& c : cases) {
        const std::string copy = folder.Path("stub" + std::to_string(++index) + ExeSuffix());
        ASSERT_TRUE(WriteProgram(copy, c.image)) << c.name;
        ChildResult run = RunChild(copy, ChildOptions());
        ASSERT_FALSE(run.timedOut) << c.name;
        std::string output = WithoutCarriageReturns(run.out);
        EXPECT_EQ(output.substr(0, output.find('\n')), c.firstLine) << c.name;
    }
}
