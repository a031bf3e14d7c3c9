// tovarin-pack in-process: the finished program's layout byte by byte, the configuration
// block, how entries are compressed, the refusals, and that a failure leaves the output and
// its folder as they were. Stubs are fake: a few bytes around the archive-length field.
#include "pack.h"
#include "pack_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kMarker = "TOVARIN-ARCHIVELEN";
const std::string kBom = "\xEF\xBB\xBF";

// The 22-byte field as a bare stub carries it, between some stand-in code bytes.
std::string FakeStub(int markers = 1)
{
    std::string stub = "MZ fake stub code\x01\x02";
    for (int i = 0; i < markers; ++i)
        stub += std::string(4, '\0') + kMarker + "-data-";
    return stub + "tail\xFF";
}

uint32_t Get16(const std::string& s, size_t at)
{
    return uint32_t(uint8_t(s.at(at))) | uint32_t(uint8_t(s.at(at + 1))) << 8;
}

uint32_t Get32(const std::string& s, size_t at)
{
    return Get16(s, at) | Get16(s, at + 2) << 16;
}

std::string Inflate(const std::string& packed, size_t size)
{
    std::string out(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return "<inflateInit2 failed>";
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = uInt(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    return rc == Z_STREAM_END && z.avail_out == 0 ? out : "<inflate failed>";
}

struct ZipEntry {
    uint32_t method;
    std::string data;   // uncompressed, CRC checked
};

// Reads an archive that starts at its first byte and ends with its 22-byte end record,
// checking every field the launcher's reader relies on. Failures go to `error`.
std::map<std::string, ZipEntry> ParseArchive(const std::string& zip, std::string& error)
{
    std::map<std::string, ZipEntry> entries;
    if (zip.size() < 22 || Get32(zip, zip.size() - 22) != 0x06054b50) {
        error = "no end record at the archive's end";
        return entries;
    }
    size_t end = zip.size() - 22;
    uint32_t count = Get16(zip, end + 10), directorySize = Get32(zip, end + 12), directory = Get32(zip, end + 16);
    if (Get16(zip, end + 4) || Get16(zip, end + 6) || Get16(zip, end + 8) != count || directory + directorySize != end) {
        error = "the end record does not describe a directory that ends at it";
        return entries;
    }
    size_t at = directory;
    for (uint32_t i = 0; i < count; ++i) {
        if (Get32(zip, at) != 0x02014b50) {
            error = "bad central header " + std::to_string(i);
            return entries;
        }
        uint32_t method = Get16(zip, at + 10), crc = Get32(zip, at + 16), packedSize = Get32(zip, at + 20),
                 size = Get32(zip, at + 24), nameLength = Get16(zip, at + 28), local = Get32(zip, at + 42);
        size_t extras = Get16(zip, at + 30) + Get16(zip, at + 32);
        std::string name = zip.substr(at + 46, nameLength);
        at += 46 + nameLength + extras;
        if (Get32(zip, local) != 0x04034b50 || Get16(zip, local + 8) != method || Get32(zip, local + 14) != crc ||
            Get16(zip, local + 26) != nameLength || zip.compare(local + 30, nameLength, name) != 0) {
            error = "local header of '" + name + "' does not match its central header";
            return entries;
        }
        std::string packed = zip.substr(local + 30 + nameLength + Get16(zip, local + 28), packedSize);
        std::string data = method == 0 ? packed : Inflate(packed, size);
        if (data.size() != size || crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())) != crc) {
            error = "data of '" + name + "' does not match its size and CRC";
            return entries;
        }
        entries[name] = {method, data};
    }
    if (at != end)
        error = "the central directory does not fill its stated size";
    return entries;
}

// A finished program cut into the pieces of its layout, given the stub's size.
struct Program {
    std::string stub, block, reserved, archive, comment;
    uint32_t blockLength = 0, archiveLength = 0;
};

bool SplitProgram(const std::string& file, size_t stubSize, Program& p, std::string& error)
{
    if (file.size() < stubSize + 24) {
        error = "program too short";
        return false;
    }
    p.stub = file.substr(0, stubSize);
    size_t field = p.stub.find(kMarker);
    if (field == std::string::npos || field < 4) {
        error = "no archive-length field in the program's stub";
        return false;
    }
    p.archiveLength = Get32(p.stub, field - 4);
    // The launcher's own arithmetic: the comment is everything after the last end record.
    size_t end = file.rfind("PK\x05\x06");
    if (end == std::string::npos || end + 22 > file.size()) {
        error = "no end record";
        return false;
    }
    p.comment = file.substr(end + 22);
    size_t trailer = file.size() - p.comment.size() - p.archiveLength - 16;
    p.blockLength = Get32(file, trailer - 4);
    if (trailer - 4 - p.blockLength != stubSize) {
        error = "the block does not start right after the stub";
        return false;
    }
    p.block = file.substr(stubSize, p.blockLength);
    p.reserved = file.substr(trailer, 16);
    p.archive = file.substr(trailer + 16, p.archiveLength);
    return true;
}

// Each test gets its own folder beside the test program, made empty first.
class PackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::u8path(std::string("pack_scratch_") + info->test_suite_name() + "_" + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        if (!HasFailure())
            fs::remove_all(m_dir);
    }

    std::string PathOf(const std::string& name) const { return (m_dir / fs::u8path(name)).u8string(); }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        fs::path path = m_dir / fs::u8path(name);
        fs::create_directories(path.parent_path());
        std::FILE* f = OpenPackFile(path.u8string(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return path.u8string();
    }

    std::string Read(const std::string& name) const
    {
        std::string bytes;
        fs::path path = m_dir / fs::u8path(name);
        std::FILE* f = OpenPackFile(path.u8string(), "rb");
        if (!f)
            return "<missing>";
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.append(chunk, n);
        std::fclose(f);
        return bytes;
    }

    // Every file under the scratch folder with its contents, to see what a run changed.
    std::map<std::string, std::string> Snapshot() const
    {
        std::map<std::string, std::string> files;
        for (const auto& item : fs::recursive_directory_iterator(m_dir)) {
            std::string relative = item.path().lexically_relative(m_dir).generic_u8string();
            files[relative] = item.is_regular_file() ? Read(relative) : "<folder>";
        }
        return files;
    }

    // Options for a program "out" from the stub "stub" and the configuration "app.cfg".
    PackOptions BasicOptions(const std::string& stub = FakeStub())
    {
        Write("stub", stub);
        Write("app.cfg", "mainclass app.Main\n");
        PackOptions options;
        options.stubPath = PathOf("stub");
        options.outputPath = PathOf("out");
        options.configPath = PathOf("app.cfg");
        return options;
    }

    static PackInput File(const std::string& name, const std::string& path)
    {
        return PackInput{PackInput::kFile, name, path};
    }

    // Packs "out" from BasicOptions-style options and reads its payload back; a failure on
    // the way is reported under `label` and gives no entries.
    std::map<std::string, ZipEntry> PackAndRead(const PackOptions& options, const std::string& label = "")
    {
        PackResult result = PackProgram(options);
        Program p;
        std::string error = result.message;
        std::map<std::string, ZipEntry> entries;
        if (result.ok && SplitProgram(Read("out"), FakeStub().size(), p, error))
            entries = ParseArchive(p.archive, error);
        if (!result.ok || !error.empty()) {
            ADD_FAILURE() << label << ": " << error;
            entries.clear();
        }
        return entries;
    }

    fs::path m_dir;
};

} // namespace

TEST_F(PackTest, LayoutByteByByte)
{
    const std::string stub = FakeStub();
    PackOptions options = BasicOptions(stub);
    fs::permissions(PathOf("stub"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    Write("app.cfg", "mainclass app.Main\n\nminjre 1.8\nsplashtitle Caf\xC3\xA9  ");
    std::string jar = "PK\x03\x04 pretend jar bytes";
    options.inputs = {File("app.jar", Write("in/app.jar", jar)),
                      File("docs\\read me.txt", Write("in/readme.txt", std::string(500, 'r')))};
    Write("classes/com/mirathel/qvx/TovarinClassLoader.class", "\xCA\xFE\xBA\xBE loader");
    Write("classes/com/mirathel/qvx/TovarinClassLoader$1.class", "\xCA\xFE\xBA\xBE inner");
    Write("classes/com/mirathel/qvx/notes.txt", "not a class");
    Write("classes/com/mirathel/qvx/sub/Deeper.class", "not at the top");
    options.supportClassesDir = PathOf("classes");
    options.hasComment = true;
    options.comment = "after the end";

    PackResult result = PackProgram(options);
    ASSERT_TRUE(result.ok) << result.message;
    std::string file = Read("out");
    Program p;
    std::string error;
    ASSERT_TRUE(SplitProgram(file, stub.size(), p, error)) << error;

    // The stub is unchanged but for the four bytes before the marker, which hold A.
    std::string expectedStub = stub;
    size_t field = stub.find(kMarker) - 4;
    for (int i = 0; i < 4; ++i)
        expectedStub[field + i] = char((result.archiveLength >> (8 * i)) & 0xFF);
    EXPECT_EQ(p.stub, expectedStub);
    EXPECT_EQ(p.archiveLength, result.archiveLength);

    EXPECT_EQ(p.block, kBom + "mainclass app.Main\r\n\r\nminjre 1.8\r\nsplashtitle Caf\xC3\xA9  \r\n" + std::string(1, '\0'));
    EXPECT_EQ(p.blockLength, p.block.size());
    EXPECT_EQ(p.blockLength, result.blockLength);
    EXPECT_EQ(p.reserved, std::string(16, '\0'));
    EXPECT_EQ(p.comment, "after the end");
    EXPECT_EQ(file.size(), stub.size() + p.blockLength + 4 + 16 + p.archiveLength + p.comment.size());
    EXPECT_EQ(result.programSize, file.size());
    // A proper ZIP comment too: the end record's length field covers the trailing bytes.
    EXPECT_EQ(Get16(p.archive, p.archive.size() - 2), p.comment.size());

    std::map<std::string, ZipEntry> entries = ParseArchive(p.archive, error);
    ASSERT_TRUE(error.empty()) << error;
    std::set<std::string> names;
    for (const auto& entry : entries)
        names.insert(entry.first);
    EXPECT_EQ(names, (std::set<std::string>{"app.jar", "docs/read me.txt", "com/mirathel/qvx/TovarinClassLoader.class",
                                            "com/mirathel/qvx/TovarinClassLoader$1.class"}));
    EXPECT_EQ(result.entryCount, 4u);
    EXPECT_EQ(entries["app.jar"].method, 0u) << "nested jars are stored";
    EXPECT_EQ(entries["app.jar"].data, jar);
    EXPECT_EQ(entries["docs/read me.txt"].method, 8u);
    EXPECT_EQ(entries["docs/read me.txt"].data, std::string(500, 'r'));
    EXPECT_EQ(entries["com/mirathel/qvx/TovarinClassLoader.class"].data, "\xCA\xFE\xBA\xBE loader");

    EXPECT_EQ(fs::status(PathOf("out")).permissions(), fs::status(PathOf("stub")).permissions());
    EXPECT_EQ(Snapshot().count("out"), 1u);
    EXPECT_TRUE(result.notes.empty());
}

TEST_F(PackTest, ProgramWithoutCommentEndsWithTheEndRecord)
{
    PackOptions options = BasicOptions();
    options.inputs = {File("a.txt", Write("a.txt", "alpha"))};
    PackResult result = PackProgram(options);
    ASSERT_TRUE(result.ok) << result.message;
    std::string file = Read("out");
    Program p;
    std::string error;
    ASSERT_TRUE(SplitProgram(file, FakeStub().size(), p, error)) << error;
    EXPECT_EQ(p.comment, "");
    EXPECT_EQ(file.compare(file.size() - 22, 4, "PK\x05\x06"), 0);
    std::map<std::string, ZipEntry> entries = ParseArchive(p.archive, error);
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_EQ(entries["a.txt"].data, "alpha");
}

TEST(ConfigBlock, Table)
{
    const std::string nul(1, '\0');
    struct Case {
        const char* name;
        std::string text;
        std::string block;   // empty: refused
        const char* error;
    };
    const Case cases[] = {
        {"LF lines", "a 1\nb 2\n", kBom + "a 1\r\nb 2\r\n" + nul, ""},
        {"CR LF lines kept", "a 1\r\nb 2\r\n", kBom + "a 1\r\nb 2\r\n" + nul, ""},
        {"lone CR lines", "a 1\rb 2\r", kBom + "a 1\r\nb 2\r\n" + nul, ""},
        {"mixed, empty lines kept", "a\n\r\n\rb", kBom + "a\r\n\r\n\r\nb\r\n" + nul, ""},
        {"last line without break", "mainclass x.Y", kBom + "mainclass x.Y\r\n" + nul, ""},
        {"empty file", "", kBom + nul, ""},
        {"only a break", "\n", kBom + "\r\n" + nul, ""},
        {"mark not doubled", kBom + "a 1\n", kBom + "a 1\r\n" + nul, ""},
        {"blanks and tabs stay", "  a = 1 \t\n", kBom + "  a = 1 \t\r\n" + nul, ""},
        {"UTF-8 kept", "t \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n", kBom + "t \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n" + nul, ""},
        {"NUL byte", std::string("a 1\nb\0 2\n", 9), "", "NUL byte in line 2"},
        {"Latin-1 byte", "a 1\nb 2\ncaf\xE9\n", "", "not UTF-8 (line 3)"},
        {"cut sequence at the end", "a \xC3", "", "not UTF-8 (line 1)"},
        {"overlong form", "a \xC0\xAF", "", "not UTF-8"},
        {"surrogate", "a \xED\xA0\x80", "", "not UTF-8"},
        {"above U+10FFFF", "a \xF4\x90\x80\x80", "", "not UTF-8"},
        {"UTF-16 LE", "\xFF\xFE" "a\0", "", "UTF-16"},
        {"UTF-16 BE", "\xFE\xFF\0a", "", "UTF-16"},
    };
    for (const Case& c : cases) {
        std::string block, error;
        bool ok = BuildConfigBlock(c.text, "'app.cfg'", block, error);
        if (c.block.empty()) {
            EXPECT_FALSE(ok) << c.name;
            EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
            EXPECT_NE(error.find("'app.cfg'"), std::string::npos) << c.name << ": " << error;
        } else {
            EXPECT_TRUE(ok) << c.name << ": " << error;
            EXPECT_EQ(block, c.block) << c.name;
        }
    }
}

TEST_F(PackTest, NestedJarsStoredUnlessAskedToDeflate)
{
    struct Case {
        const char* name;
        bool storedByDefault;
    };
    const Case cases[] = {
        {"lib/a.jar", true}, {"B.JAR", true}, {"x.Zip", true}, {"app.jar", true},
        {".jar", false},   // too short to be a jar to the launcher
        {"a.jarx", false}, {"a.zi", false}, {"notes.txt", false}, {"Main.class", false},
    };
    std::string content(300, 'j');
    for (bool deflateJars : {false, true}) {
        PackOptions options = BasicOptions();
        options.deflateJars = deflateJars;
        for (const Case& c : cases)
            options.inputs.push_back(File(c.name, Write("content", content)));
        std::map<std::string, ZipEntry> entries = PackAndRead(options, deflateJars ? "deflated jars" : "stored jars");
        for (const Case& c : cases) {
            bool stored = c.storedByDefault && !deflateJars;
            EXPECT_EQ(entries[c.name].method, stored ? 0u : 8u) << c.name << (deflateJars ? " with --deflate-jars" : "");
            EXPECT_EQ(entries[c.name].data, content) << c.name;
        }
    }
}

TEST_F(PackTest, FolderTreesAndNonAsciiNames)
{
    PackOptions options = BasicOptions();
    Write("tree/b.txt", "b");
    Write("tree/a/z.properties", "z");
    Write("tree/a/deep/lib.jar", "jar");
    Write("tree/\xC3\xBC\xC3\xB1\xC3\xAF.txt", "unicode");
    fs::create_directories(PathOf("tree/empty"));
    Write("lone/\xD0\xB4.txt", "cyrillic");
    options.inputs = {PackInput{PackInput::kFolder, "res\\v1", PathOf("tree")},
                      PackInput{PackInput::kFolder, "", PathOf("tree")},
                      File("named/\xD0\xB4.txt", PathOf("lone/\xD0\xB4.txt"))};
    std::map<std::string, ZipEntry> entries = PackAndRead(options);

    std::map<std::string, std::string> expected = {
        {"res/v1/b.txt", "b"}, {"res/v1/a/z.properties", "z"}, {"res/v1/a/deep/lib.jar", "jar"},
        {"res/v1/\xC3\xBC\xC3\xB1\xC3\xAF.txt", "unicode"},
        {"b.txt", "b"}, {"a/z.properties", "z"}, {"a/deep/lib.jar", "jar"}, {"\xC3\xBC\xC3\xB1\xC3\xAF.txt", "unicode"},
        {"named/\xD0\xB4.txt", "cyrillic"},
    };
    std::map<std::string, std::string> found;
    for (const auto& entry : entries)
        found[entry.first] = entry.second.data;
    EXPECT_EQ(found, expected);
    EXPECT_EQ(entries["a/deep/lib.jar"].method, 0u);
}

TEST_F(PackTest, RefusalsLeaveTheOutputAndFolderAlone)
{
    struct Case {
        const char* name;
        std::string stub;
        std::vector<PackInput> inputs;   // paths relative to the scratch folder
        const char* supportClasses;
        const char* comment;
        const char* config;              // null: the usual one
        const char* output;              // null: "out"
        const char* message;
    };
    const std::string bareStub = FakeStub();
    std::string setStub = bareStub;
    setStub[setStub.find(kMarker) - 2] = 1;
    const Case cases[] = {
        {"stub missing", "", {}, nullptr, nullptr, nullptr, nullptr, "cannot read"},
        {"configuration missing", bareStub, {}, nullptr, nullptr, "no.cfg", nullptr, "cannot read"},
        {"added file missing", bareStub, {File("a.txt", "no-such.txt")}, nullptr, nullptr, nullptr, nullptr,
         "cannot read"},
        {"folder added as a file", bareStub, {File("a", "in")}, nullptr, nullptr, nullptr, nullptr, "it is a folder"},
        {"added folder missing", bareStub, {PackInput{PackInput::kFolder, "x", "no-such-dir"}}, nullptr, nullptr,
         nullptr, nullptr, "cannot read folder"},
        {"no marker", "MZ no field here", {}, nullptr, nullptr, nullptr, nullptr, "no archive-length field"},
        {"no marker, seen before the payload", "MZ", {File("a", "no-such.txt")}, nullptr, nullptr, nullptr, nullptr,
         "no archive-length field"},
        {"two markers", FakeStub(2), {}, nullptr, nullptr, nullptr, nullptr, "2 copies"},
        {"marker without room for the field", kMarker + "...", {}, nullptr, nullptr, nullptr, nullptr,
         "no length field"},
        {"field already set", setStub, {}, nullptr, nullptr, nullptr, nullptr, "already set"},
        {"two entries with one name", bareStub, {File("x/a.txt", "in/a.txt"), File("x\\a.txt", "in/b.txt")}, nullptr,
         nullptr, nullptr, nullptr, "two entries are named 'x/a.txt'"},
        {"file and folder entry clash", bareStub,
         {File("a.txt", "in/b.txt"), PackInput{PackInput::kFolder, "", "in"}}, nullptr, nullptr, nullptr, nullptr,
         "two entries are named 'a.txt'"},
        {"user file clashes with a support class", bareStub,
         {File("com/mirathel/qvx/L.class", "in/a.txt")}, "classes", nullptr, nullptr, nullptr,
         "two entries are named 'com/mirathel/qvx/L.class'"},
        {"parent step in a name", bareStub, {File("../a.txt", "in/a.txt")}, nullptr, nullptr, nullptr, nullptr,
         "bad entry name"},
        {"absolute name", bareStub, {File("/a.txt", "in/a.txt")}, nullptr, nullptr, nullptr, nullptr,
         "bad entry name"},
        {"end record in the comment", bareStub, {}, nullptr, "x PK\x05\x06 y", nullptr, nullptr, "signature"},
        {"configuration not UTF-8", bareStub, {}, nullptr, nullptr, "latin1.cfg", nullptr, "not UTF-8"},
        {"output folder missing", bareStub, {}, nullptr, nullptr, nullptr, "no-such-dir/out", "cannot create"},
        {"output is a folder", bareStub, {}, nullptr, nullptr, nullptr, "in", "cannot write"},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        PackOptions options = BasicOptions(c.stub);
        if (c.stub.empty())
            fs::remove(PathOf("stub"));
        Write("out", "the old program");
        Write("in/a.txt", "a");
        Write("in/b.txt", "b");
        Write("latin1.cfg", "mainclass caf\xE9\n");
        Write("classes/com/mirathel/qvx/L.class", "class");
        for (PackInput input : c.inputs) {
            input.path = PathOf(input.path);
            options.inputs.push_back(input);
        }
        if (c.supportClasses)
            options.supportClassesDir = PathOf(c.supportClasses);
        if (c.comment) {
            options.hasComment = true;
            options.comment = c.comment;
        }
        if (c.config)
            options.configPath = PathOf(c.config);
        if (c.output)
            options.outputPath = PathOf(c.output);
        std::map<std::string, std::string> before = Snapshot();

        PackResult result = PackProgram(options);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_NE(result.message.find(c.message), std::string::npos) << c.name << ": " << result.message;
        EXPECT_EQ(result.message.find('\n'), std::string::npos) << c.name << ": one line";
        EXPECT_EQ(Snapshot(), before) << c.name << ": the folder changed (temporary file left, or output touched)";
    }
}

TEST_F(PackTest, ReplacesAnExistingProgramAndMayReadItsOwnOutput)
{
    PackOptions options = BasicOptions();
    Write("out", "an older program, longer than the new one will be" + std::string(4000, '.'));
    options.inputs = {File("old.bin", PathOf("out"))};
    std::map<std::string, ZipEntry> entries = PackAndRead(options);
    EXPECT_EQ(entries["old.bin"].data.substr(0, 16), "an older program");
    EXPECT_EQ(Snapshot().size(), 3u) << "stub, app.cfg and out only";

    // A read-only stub must not make a program that the next build cannot replace.
    fs::permissions(PathOf("stub"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    options.inputs.clear();
    for (int build = 0; build < 2; ++build) {
        PackResult result = PackProgram(options);
        EXPECT_TRUE(result.ok) << "build " << build << " from a read-only stub: " << result.message;
    }
    fs::permissions(PathOf("stub"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(PackTest, SupportClassesFolderMayBeAbsentOrEmpty)
{
    for (const char* folder : {"absent", "empty"}) {
        PackOptions options = BasicOptions();
        fs::create_directories(PathOf("empty/com/mirathel/qvx"));
        options.supportClassesDir = PathOf(folder);
        PackResult result = PackProgram(options);
        EXPECT_TRUE(result.ok) << folder << ": " << result.message;
        EXPECT_EQ(result.entryCount, 0u) << folder;
        ASSERT_EQ(result.notes.size(), 1u) << folder;
        EXPECT_NE(result.notes[0].find("no support classes"), std::string::npos) << folder;
    }
}

TEST(EntryNames, Table)
{
    struct Case {
        const char* name;
        const char* input;
        const char* normalized;   // null: refused
    };
    const Case cases[] = {
        {"plain", "app.jar", "app.jar"},
        {"backslashes", "lib\\x\\a.jar", "lib/x/a.jar"},
        {"dots inside a step", "a..b/.hidden", "a..b/.hidden"},
        {"empty", "", nullptr},
        {"leading slash", "/a", nullptr},
        {"leading backslash", "\\a", nullptr},
        {"trailing slash", "a/", nullptr},
        {"double slash", "a//b", nullptr},
        {"dot step", "a/./b", nullptr},
        {"parent step", "a/../b", nullptr},
        {"only dots", "..", nullptr},
    };
    for (const Case& c : cases) {
        std::string normalized, error;
        bool ok = NormalizeEntryName(c.input, normalized, error);
        EXPECT_EQ(ok, c.normalized != nullptr) << c.name << ": " << error;
        if (ok && c.normalized) {
            EXPECT_EQ(normalized, c.normalized) << c.name;
        }
    }
}

TEST_F(PackTest, CommandLine)
{
    Write("stub", FakeStub());
    Write("app.cfg", "mainclass app.Main\n");
    Write("a.txt", "a");
    const std::string stub = PathOf("stub"), cfg = PathOf("app.cfg"), out = PathOf("out"), a = PathOf("a.txt");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        const char* stdoutStart;
        const char* stderrPart;
    };
    const Case cases[] = {
        {"help", {"--help"}, 0, "Usage: tovarin-pack", ""},
        {"help wins over errors", {"-o", out, "-h"}, 0, "Usage: tovarin-pack", ""},
        {"nothing", {}, 2, "", "tovarin-pack: missing --stub"},
        {"no output", {"--stub", stub, "--config", cfg}, 2, "", "tovarin-pack: missing --output"},
        {"no configuration", {"--stub", stub, "-o", out}, 2, "", "tovarin-pack: missing --config"},
        {"unknown option", {"--stubb", stub}, 2, "", "tovarin-pack: unknown option '--stubb'"},
        {"value missing", {"-o", out, "--stub"}, 2, "", "tovarin-pack: option '--stub' needs a value"},
        {"flag with a value", {"--deflate-jars=yes"}, 2, "", "tovarin-pack: option '--deflate-jars' takes no value"},
        {"stray argument", {"a.txt"}, 2, "", "tovarin-pack: unexpected argument 'a.txt'"},
        {"add without a name", {"-s", stub, "-o", out, "-c", cfg, "--add", "dir/"}, 2, "", "write NAME=PATH"},
        {"all forms", {"--stub=" + stub, "-o" + out, "-c", cfg, "--add", "x/a.txt=" + a, "-a", a, "--deflate-jars",
                       "--comment="}, 0, "", ""},
        {"missing input", {"-s", stub, "-o", out, "-c", cfg, "--add", PathOf("gone.jar")}, 1, "",
         "tovarin-pack: cannot read"},
        {"no marker", {"-s", a, "-o", out, "-c", cfg}, 1, "", "tovarin-pack: "},
    };
    for (const Case& c : cases) {
        std::FILE* outFile = OpenPackFile(PathOf("stdout.txt"), "w+b");
        std::FILE* errFile = OpenPackFile(PathOf("stderr.txt"), "w+b");
        ASSERT_TRUE(outFile && errFile) << c.name;
        int code = RunPackTool(c.args, outFile, errFile);
        std::fclose(outFile);
        std::fclose(errFile);
        std::string printed = Read("stdout.txt"), complaint = Read("stderr.txt");
        EXPECT_EQ(code, c.exitCode) << c.name << ": " << complaint;
        EXPECT_EQ(printed.compare(0, std::strlen(c.stdoutStart), c.stdoutStart), 0) << c.name << ": " << printed;
        EXPECT_NE(complaint.find(c.stderrPart), std::string::npos) << c.name << ": " << complaint;
        if (c.exitCode != 0) {
            EXPECT_EQ(std::count(complaint.begin(), complaint.end(), '\n'), 1) << c.name << ": " << complaint;
        } else {
            EXPECT_EQ(complaint, "") << c.name;
        }
    }
}

TEST(ParseArguments, KeepsOrderAndLastWordOnSupportClasses)
{
    PackOptions options;
    std::string error;
    ASSERT_EQ(ParsePackArguments({"-s", "S", "-o", "O", "-c", "C", "-a", "dir/x.jar", "-d", "res=tree", "--add",
                                  "n=p=q", "--add-dir", "flat", "--support-classes", "cls", "--no-support-classes",
                                  "--comment", "c"},
                                 options, error),
              PackCommand::kRun)
        << error;
    ASSERT_EQ(options.inputs.size(), 4u);
    const PackInput expected[] = {{PackInput::kFile, "x.jar", "dir/x.jar"},
                                  {PackInput::kFolder, "res", "tree"},
                                  {PackInput::kFile, "n", "p=q"},
                                  {PackInput::kFolder, "", "flat"}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(options.inputs[i].kind, expected[i].kind) << i;
        EXPECT_EQ(options.inputs[i].name, expected[i].name) << i;
        EXPECT_EQ(options.inputs[i].path, expected[i].path) << i;
    }
    EXPECT_EQ(options.supportClassesDir, "");
    EXPECT_TRUE(options.hasComment);
    EXPECT_EQ(options.comment, "c");
    EXPECT_FALSE(options.deflateJars);
}
