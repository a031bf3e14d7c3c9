// The payload archive: which entries count as nested jars and in which order, lookups
// with and without '!', reads through every level, the first open under contention,
// and entries that cannot be read.
#include "archive/payload_archive.h"

#include "archive_fixtures.h"
#include "fake_jni.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

using namespace fixtures;

namespace {

const Bytes kInnerJar = MakeZip({{"c/D.class", "deep", CZipWriter::kDeflated}});
const Bytes kLibJar = MakeZip({
    {"com/x/Shared.class", "from a", CZipWriter::kDeflated},
    {"x/y.txt", "a-y", CZipWriter::kStored},
    {"inner/b.jar", AsString(kInnerJar), CZipWriter::kStored},
    {"only-a.txt", SampleText(3000, 5), CZipWriter::kDeflated},
    {"META-INF/MANIFEST.MF", "a manifest", CZipWriter::kDeflated},
});
const Bytes kAppJar = MakeZip({
    {"com/x/Shared.class", "from app", CZipWriter::kDeflated},
    {"app.txt", SampleText(70000, 6), CZipWriter::kDeflated},
    {"META-INF/MANIFEST.MF", "app manifest", CZipWriter::kDeflated},
});
const Bytes kSmallJar = MakeZip({{"upper.txt", "upper", CZipWriter::kStored}});

// What the build tool makes: support classes at the top, the application's jar
// deflated, a library jar stored, and a few names that only look like jars.
Bytes MakePayload()
{
    return Concat("stub and configuration", MakeZip({
        {"com/mirathel/qvx/Loader.class", "support", CZipWriter::kDeflated},
        {"META-INF/MANIFEST.MF", "payload manifest", CZipWriter::kDeflated},
        {"libs/a.jar", AsString(kLibJar), CZipWriter::kStored},
        {"app.jar", AsString(kAppJar), CZipWriter::kDeflated},
        {"x.JAR", AsString(kSmallJar), CZipWriter::kStored},
        {"x.jarx", AsString(kSmallJar), CZipWriter::kStored},
        {"a.zi", AsString(kSmallJar), CZipWriter::kStored},
        {".jar", AsString(kSmallJar), CZipWriter::kStored},
        {"empty.jar", "", CZipWriter::kStored},
        {"broken.jar", "not an archive at all", CZipWriter::kDeflated},
        {"dir/file.txt", "file", CZipWriter::kDeflated},
        {"zero.txt", "", CZipWriter::kStored},
    }));
}

std::string Text(const CTextRef& t)
{
    return std::string(t.Data(), size_t(t.Length()));
}

class PayloadArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_path = WriteFile("payload_archive_test.bin", MakePayload());
        s_archive = new CPayloadArchive(2);
        s_archive->OpenFromFile(s_path.c_str());
    }
    static void TearDownTestSuite()
    {
        delete s_archive;
        s_archive = nullptr;
        std::remove(s_path.c_str());
    }

    static std::string s_path;
    static CPayloadArchive* s_archive;
};

std::string PayloadArchive::s_path;
CPayloadArchive* PayloadArchive::s_archive = nullptr;

} // namespace

TEST_F(PayloadArchive, NestedJarsAreTheJarAndZipEntriesInIndexOrder)
{
    struct Nested {
        const char* name;
        int entries;   // -1: no archive
    };
    // Shorter names first: 'app.jar' comes before 'libs\a.jar'. Entries named 'x.jarx',
    // 'a.zi' and '.jar' are not nested jars.
    const Nested expected[] = {
        {"x.JAR", 1}, {"app.jar", 3}, {"empty.jar", -1}, {"broken.jar", 0}, {"libs\\a.jar", 5},
    };
    ASSERT_EQ(s_archive->EntryCount(), 12);
    ASSERT_EQ(s_archive->NestedCount(), int32_t(std::size(expected)));
    for (int32_t i = 0; i < s_archive->NestedCount(); ++i) {
        const Nested& e = expected[i];
        EXPECT_EQ(Text(s_archive->NestedName(i)), e.name) << "nested jar " << i;
        const CPayloadArchive* jar = s_archive->Nested(i);
        EXPECT_EQ(jar ? jar->EntryCount() : -1, e.entries) << e.name;
    }
    // The jar inside the library jar is opened too, but nothing below it.
    const CPayloadArchive* lib = s_archive->Nested(4);
    ASSERT_TRUE(lib && lib->NestedCount() == 1);
    ASSERT_TRUE(lib->Nested(0));
    EXPECT_EQ(lib->Nested(0)->EntryCount(), 1);
    EXPECT_EQ(lib->Nested(0)->NestedCount(), 0);
}

TEST_F(PayloadArchive, FindEntryComposesThePathOfTheFirstMatch)
{
    struct Case {
        const char* name;
        const char* found;   // null: not found
    };
    const Case cases[] = {
        {"dir\\file.txt", "dir\\file.txt"},
        {"dir/file.txt", "dir/file.txt"},
        {"dir\\File.txt", nullptr},
        {"com\\x\\Shared.class", "app.jar!com\\x\\Shared.class"},
        {"upper.txt", "x.JAR!upper.txt"},
        {"only-a.txt", "libs\\a.jar!only-a.txt"},
        {"c\\D.class", "libs\\a.jar!inner\\b.jar!c\\D.class"},
        {"libs/a.jar!x\\y.txt", "libs\\a.jar!x\\y.txt"},
        {"libs\\a.jar!x\\y.txt", "libs\\a.jar!x\\y.txt"},
        {"libs\\a.jar!com\\x\\Shared.class", "libs\\a.jar!com\\x\\Shared.class"},
        {"libs\\a.jar!inner\\b.jar!c\\D.class", "libs\\a.jar!inner\\b.jar!c\\D.class"},
        {"LIBS\\a.jar!x\\y.txt", nullptr},
        {"a.jar!x\\y.txt", nullptr},
        {"app.jar!x\\y.txt", nullptr},
        {"!x\\y.txt", nullptr},
        {"libs\\a.jar!", nullptr},
        {"x.jarx!upper.txt", nullptr},
        {"dir\\sub\\..\\file.txt", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        CTextBuffer out("untouched");
        bool found = s_archive->FindEntry(CTextRef(c.name), out);
        EXPECT_EQ(found, c.found != nullptr) << c.name;
        if (found && c.found) {
            EXPECT_EQ(Text(out), c.found) << c.name;
        }
    }
}

TEST_F(PayloadArchive, FindEntryWithACallbackReportsEveryMatchInSearchOrder)
{
    std::vector<std::string> paths;
    CTextBuffer out;
    auto collect = [](void* context, const CTextBuffer& path) {
        static_cast<std::vector<std::string>*>(context)->push_back(Text(path));
    };
    EXPECT_FALSE(s_archive->FindEntry(CTextRef("META-INF/MANIFEST.MF"), out, CTextRef(), collect, &paths));
    const std::vector<std::string> expected = {"META-INF/MANIFEST.MF", "app.jar!META-INF/MANIFEST.MF",
                                               "libs\\a.jar!META-INF/MANIFEST.MF"};
    EXPECT_EQ(paths, expected);
}

TEST_F(PayloadArchive, ReadEntryDataReachesFirstLevelJarsOnlyWhenAsked)
{
    struct Case {
        const char* name;
        bool searchNested;
        const char* data;   // null: not found
    };
    const std::string appText = SampleText(70000, 6);
    const Case cases[] = {
        {"dir\\file.txt", false, "file"},
        {"dir/file.txt", false, "file"},
        {"zero.txt", false, ""},
        {"com\\mirathel\\qvx\\Loader.class", false, "support"},
        {"com\\x\\Shared.class", false, nullptr},
        {"com\\x\\Shared.class", true, "from app"},
        {"libs\\a.jar!com\\x\\Shared.class", false, "from a"},
        {"libs/a.jar!x\\y.txt", false, "a-y"},
        {"app.jar!app.txt", false, appText.c_str()},
        {"c\\D.class", true, nullptr},
        {"libs\\a.jar!c\\D.class", false, nullptr},
        {"libs\\a.jar!inner\\b.jar!c\\D.class", false, "deep"},
        {"dir\\sub\\..\\file.txt", false, "file"},
        {"..\\dir\\file.txt", false, "file"},
        {"app.jar!dir\\..\\app.txt", false, appText.c_str()},
        {"empty.jar", false, ""},
        {"empty.jar!anything", false, nullptr},
        {"broken.jar!anything", false, nullptr},
        {"!dir\\file.txt", true, nullptr},
        {"missing.txt", true, nullptr},
    };
    for (const Case& c : cases) {
        CTextBuffer out;
        bool found = s_archive->ReadEntryData(CTextRef(c.name), c.searchNested, out);
        EXPECT_EQ(found, c.data != nullptr) << c.name << (c.searchNested ? " (nested)" : "");
        if (found && c.data) {
            EXPECT_TRUE(Text(out) == c.data) << c.name;
        }
    }
}

TEST_F(PayloadArchive, LoadEntryDataGivesAJavaArrayOrNull)
{
    CFakeJni jni;
    jbyteArray file = s_archive->LoadEntryData(jni.Env(), CTextRef("dir\\file.txt"), false);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(CFakeJni::Bytes(file), "file");
    jbyteArray empty = s_archive->LoadEntryData(jni.Env(), CTextRef("zero.txt"), false);
    ASSERT_NE(empty, nullptr) << "an empty entry is an empty array, not null";
    EXPECT_EQ(CFakeJni::Bytes(empty), "");
    EXPECT_EQ(s_archive->LoadEntryData(jni.Env(), CTextRef("missing.txt"), true), nullptr);
    jni.failAllocation = true;
    EXPECT_EQ(s_archive->LoadEntryData(jni.Env(), CTextRef("dir\\file.txt"), false), nullptr);
}

TEST_F(PayloadArchive, ConcurrentReadsOfOneArchiveDeliverWholeEntries)
{
    const std::string appText = SampleText(70000, 6);
    const std::string libText = SampleText(3000, 5);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                CTextBuffer a, b, c;
                if (!s_archive->ReadEntryData(CTextRef("app.jar!app.txt"), false, a) || Text(a) != appText)
                    ++wrong;
                if (!s_archive->ReadEntryData(CTextRef("only-a.txt"), true, b) || Text(b) != libText)
                    ++wrong;
                if (!s_archive->ReadEntryData(CTextRef("dir/file.txt"), false, c) || Text(c) != "file")
                    ++wrong;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(PayloadArchiveDepth, DepthLimitsTheNestedLevelsOpened)
{
    struct Case {
        int depth;
        int nested;          // nested jars of the payload
        bool innerOpened;    // the jar inside libs\a.jar
    };
    const Case cases[] = {{0, 0, false}, {1, 5, false}, {2, 5, true}};
    Bytes payload = MakePayload();
    for (const Case& c : cases) {
        CPayloadArchive archive(c.depth);
        archive.OpenFromMemory(CTextBuffer(reinterpret_cast<const char*>(payload.data()), int32_t(payload.size())));
        EXPECT_EQ(archive.EntryCount(), 12) << "depth " << c.depth;
        ASSERT_EQ(archive.NestedCount(), c.nested) << "depth " << c.depth;
        if (c.nested) {
            const CPayloadArchive* lib = archive.Nested(4);
            ASSERT_TRUE(lib) << "depth " << c.depth;
            EXPECT_EQ(lib->NestedCount() == 1 && lib->Nested(0) != nullptr, c.innerOpened) << "depth " << c.depth;
        }
        CTextBuffer out;
        EXPECT_EQ(archive.ReadEntryData(CTextRef("libs\\a.jar!inner\\b.jar!c\\D.class"), false, out), c.innerOpened)
            << "depth " << c.depth;
    }
}

TEST(PayloadArchiveDamage, UnreadableEntriesCountAsAbsentAndReleaseTheLock)
{
    const std::string text = SampleText(20000, 8);
    Bytes okJar = MakeZip({{"in-ok.txt", "ok", CZipWriter::kStored}});
    Bytes zip = MakeZip({
        {"good.txt", "good", CZipWriter::kDeflated},
        {"bad-deflate.txt", text, CZipWriter::kDeflated},
        {"bad-crc.txt", "crc", CZipWriter::kStored},
        {"short-stored.txt", "short data", CZipWriter::kStored},
        {"short-deflated.txt", text, CZipWriter::kDeflated},
        {"corrupt.jar", AsString(okJar), CZipWriter::kDeflated},
        {"ok.jar", AsString(okJar), CZipWriter::kStored},
    });
    auto setBoth32 = [&](int k, size_t centralAt, size_t localAt, uint32_t v) {
        Put32(zip, CentralHeader(zip, k) + centralAt, v);
        Put32(zip, LocalHeader(zip, k) + localAt, v);
    };
    zip[LocalData(zip, 1)] = 0xFF;                // reserved deflate block type
    setBoth32(2, 16, 14, 0x12345678);             // CRC of other bytes
    // Sizes that the data cannot fill: the reader must not allocate what they claim.
    setBoth32(3, 24, 22, 0x7FFFFF00);
    setBoth32(4, 24, 22, 0x7FFFFF00);
    zip[LocalData(zip, 5) + 1] ^= 0x77;           // a nested jar that does not inflate
    CPayloadArchive archive(2);
    archive.OpenFromMemory(CTextBuffer(reinterpret_cast<const char*>(zip.data()), int32_t(zip.size())));
    ASSERT_EQ(archive.EntryCount(), 7);

    const char* absent[] = {"bad-deflate.txt", "bad-crc.txt", "short-stored.txt", "short-deflated.txt",
                            "corrupt.jar!in-ok.txt"};
    for (const char* name : absent) {
        CTextBuffer out;
        EXPECT_FALSE(archive.ReadEntryData(CTextRef(name), true, out)) << name;
        // A lock left held would hang here.
        CTextBuffer good;
        EXPECT_TRUE(archive.ReadEntryData(CTextRef("good.txt"), false, good)) << "after " << name;
        EXPECT_EQ(Text(good), "good") << "after " << name;
    }
    ASSERT_EQ(archive.NestedCount(), 2);
    EXPECT_EQ(Text(archive.NestedName(0)), "ok.jar");
    EXPECT_EQ(Text(archive.NestedName(1)), "corrupt.jar");
    EXPECT_EQ(archive.Nested(1), nullptr) << "a jar that cannot be extracted has no archive";
    CTextBuffer out;
    EXPECT_TRUE(archive.ReadEntryData(CTextRef("in-ok.txt"), true, out)) << "the other jar is unaffected";
}

TEST(PayloadArchiveOpen, MissingOrEmptyPayloadLeavesAnEmptyArchive)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool write;
    };
    const Case cases[] = {
        {"executable without a payload", Bytes(5000, 'x'), true},
        {"empty file", Bytes(), true},
        {"empty archive", Concat("stub", MakeZip({})), true},
        {"no file", Bytes(), false},
    };
    for (const Case& c : cases) {
        std::string path = "payload_open_" + std::to_string(&c - cases) + ".bin";
        std::remove(path.c_str());
        if (c.write)
            WriteFile(path, c.bytes);
        CPayloadArchive archive(2);
        EXPECT_TRUE(archive.EnsureOpen(path.c_str())) << c.name;
        EXPECT_TRUE(archive.IsOpen()) << c.name;
        EXPECT_EQ(archive.EntryCount(), 0) << c.name;
        CTextBuffer out;
        EXPECT_FALSE(archive.FindEntry(CTextRef("dir\\file.txt"), out)) << c.name;
        EXPECT_FALSE(archive.ReadEntryData(CTextRef("dir\\file.txt"), true, out)) << c.name;
        // Not retried, even once the file holds a payload.
        WriteFile(path, MakePayload());
        EXPECT_TRUE(archive.EnsureOpen(path.c_str())) << c.name;
        EXPECT_EQ(archive.EntryCount(), 0) << c.name;
        std::remove(path.c_str());
    }
}

TEST(PayloadArchiveOpen, ProcessArchiveOpensTheRunningExecutable)
{
    // The test program carries no payload: the open succeeds and finds nothing.
    EXPECT_TRUE(g_payloadArchive->EnsureOpen());
    EXPECT_TRUE(g_payloadArchive->IsOpen());
    CTextBuffer out;
    EXPECT_FALSE(g_payloadArchive->FindEntry(CTextRef("com\\mirathel\\qvx\\Loader.class"), out));
}

namespace {

class CCountingArchive : public CPayloadArchive {
public:
    CCountingArchive() : CPayloadArchive(2) {}
    void OpenFromFile(const char* path) override
    {
        ++opens;
        // Widen the window in which a second caller could slip past the first test.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        CPayloadArchive::OpenFromFile(path);
    }
    std::atomic<int> opens{0};
};

} // namespace

TEST(PayloadArchiveOpen, ConcurrentFirstCallsOpenThePayloadOnce)
{
    std::string path = WriteFile("payload_open_race.bin", MakePayload());
    CCountingArchive archive;
    std::atomic<int> ready{0}, sawEntries{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            ++ready;
            while (ready.load() < 8)
                std::this_thread::yield();
            archive.EnsureOpen(path.c_str());
            CTextBuffer out;
            if (archive.FindEntry(CTextRef("libs\\a.jar!x\\y.txt"), out))
                ++sawEntries;
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(archive.opens.load(), 1);
    EXPECT_EQ(sawEntries.load(), 8) << "every caller returns only after the open";
    std::remove(path.c_str());
}

TEST(ParentSteps, EachStepRemovesTheNameBeforeIt)
{
    struct Case {
        const char* name;
        const char* resolved;
    };
    const Case cases[] = {
        {"a\\b\\..\\c", "a\\c"},
        {"b\\..\\c", "c"},
        {"..\\a\\b", "a\\b"},
        {"a\\..\\..\\b", "b"},
        {"\\..\\a", "\\a"},
        {"a\\b\\..\\", "a\\"},
        {"x\\y\\z\\..\\..\\w", "x\\w"},
        {"a\\..b", "a\\..b"},
        {"plain\\name", "plain\\name"},
    };
    for (const Case& c : cases) {
        CTextBuffer name(c.name);
        ResolveParentSteps(name);
        EXPECT_EQ(Text(name), c.resolved) << c.name;
    }
}
