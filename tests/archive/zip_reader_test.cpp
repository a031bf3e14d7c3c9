// The ZIP reader over both sources: archives behind prefixes and before comments, stored
// and deflated entries, and the error code of every kind of malformed archive.
#include "archive/zip_reader.h"

#include "archive_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace fixtures;

namespace {

enum class Via { kMemory, kFile };

const char* ViaName(Via via)
{
    return via == Via::kMemory ? "memory" : "file";
}

// Opens the reader over bytes, either as a memory block or through a file; the error
// code, or 0.
int OpenOver(CZipReader& reader, CZipMemorySource& memory, const Bytes& bytes, Via via, const std::string& file,
             std::string* errorPath = nullptr)
{
    try {
        if (via == Via::kMemory) {
            memory.Reset(bytes.data(), uint32_t(bytes.size()));
            reader.Open(memory);
        } else {
            WriteFile(file, bytes);
            reader.Open(file.c_str());
        }
    } catch (const CZipException& e) {
        if (errorPath)
            *errorPath = e.Path().Data();
        return e.Code();
    }
    return 0;
}

struct Extracted {
    int code = 0;             // exception code, 0 for none
    std::string stage;        // where it was thrown
    std::string data;
    int closeResult = 0;
};

// The launcher's calling order: open, one read of the stated size, close.
Extracted Extract(CZipReader& reader, uint16_t index)
{
    Extracted x;
    try {
        x.stage = "open entry";
        if (!reader.OpenEntry(index)) {
            x.code = -1;
            return x;
        }
        x.stage = "read";
        std::string buffer(std::min<uint32_t>(reader.Entry(index).uncompressedSize, 1u << 24), '\0');
        buffer.resize(size_t(reader.ReadEntry(&buffer[0], int32_t(buffer.size()))));
        x.stage = "close";
        x.closeResult = reader.CloseEntry();
        x.data = buffer;
        x.stage.clear();
    } catch (const CZipException& e) {
        x.code = e.Code();
        reader.AbandonEntry();
    }
    return x;
}

const std::string kText = SampleText(100000);
const std::string kBig = SampleText(300000, 7);

std::vector<Entry> SampleEntries()
{
    return {
        {"a/stored.txt", kText, CZipWriter::kStored},
        {"a/deflated.txt", kText, CZipWriter::kDeflated},
        {"empty-stored", "", CZipWriter::kStored},
        {"empty-deflated", "", CZipWriter::kDeflated},
        {"win\\name.txt", "backslash", CZipWriter::kStored},
        {"big.bin", kBig, CZipWriter::kDeflated},
    };
}

} // namespace

TEST(ZipReader, ReadsEveryEntryWhateverSurroundsTheArchive)
{
    // The end record's signature starts 32766 bytes before the end when the comment is
    // 32748 bytes long: split across the first two search chunks.
    struct Case {
        const char* name;
        std::string prefix;
        std::string comment;
        std::string suffix;
    };
    const Case cases[] = {
        {"plain archive", "", "", ""},
        {"stub and configuration before it", std::string(1000, 's') + "cfg", "", ""},
        {"prefix holding a stray end signature", "MZ" + std::string("PK\x05\x06", 4) + std::string(5000, 0), "", ""},
        {"comment after the end record", "", std::string(500, 'c'), ""},
        {"longest comment", "stub", std::string(65535, 'c'), ""},
        {"signature split across chunks (1)", "", std::string(32747, 'c'), ""},
        {"signature split across chunks (2)", "", std::string(32748, 'c'), ""},
        {"signature split across chunks (3)", "", std::string(32749, 'c'), ""},
        {"bytes after the archive", "stub", "", std::string(100, 't')},
    };
    const std::vector<Entry> entries = SampleEntries();
    for (const Case& c : cases) {
        Bytes bytes = Concat(c.prefix, MakeZip(entries, c.comment), c.suffix);
        for (Via via : {Via::kMemory, Via::kFile}) {
            SCOPED_TRACE(std::string(c.name) + " via " + ViaName(via));
            CZipMemorySource memory;
            CZipReader reader;
            ASSERT_EQ(OpenOver(reader, memory, bytes, via, "zip_reader_reads.bin"), 0) << c.name;
            EXPECT_EQ(reader.PrefixLength(), c.prefix.size()) << c.name;
            EXPECT_EQ(std::string(reader.Comment().Data(), size_t(reader.Comment().Length())), c.comment) << c.name;
            ASSERT_EQ(reader.EntryCount(), int32_t(entries.size())) << c.name;
            for (size_t k = 0; k < entries.size(); ++k) {
                std::string expectedName = entries[k].name;
                std::replace(expectedName.begin(), expectedName.end(), '/', '\\');
                CTextRef name = reader.Entry(uint16_t(k)).Name();
                EXPECT_EQ(std::string(name.Data(), size_t(name.Length())), expectedName) << c.name;
                Extracted x = Extract(reader, uint16_t(k));
                EXPECT_EQ(x.code, 0) << c.name << ": " << expectedName << " failed at " << x.stage;
                EXPECT_TRUE(x.data == entries[k].data) << c.name << ": " << expectedName;
                EXPECT_EQ(x.closeResult, 1) << c.name << ": " << expectedName;
            }
        }
    }
    std::remove("zip_reader_reads.bin");
}

TEST(ZipReader, EmptyArchiveOpensWithNoEntries)
{
    for (Via via : {Via::kMemory, Via::kFile}) {
        CZipMemorySource memory;
        CZipReader reader;
        ASSERT_EQ(OpenOver(reader, memory, Concat("stub", MakeZip({})), via, "zip_reader_empty.bin"), 0) << ViaName(via);
        EXPECT_TRUE(reader.IsOpen()) << ViaName(via);
        EXPECT_EQ(reader.EntryCount(), 0) << ViaName(via);
        EXPECT_FALSE(reader.OpenEntry(0)) << ViaName(via);
    }
    std::remove("zip_reader_empty.bin");
}

TEST(ZipReader, MalformedArchivesFailWithTheirCode)
{
    const std::string text = SampleText(20000, 3);
    const Bytes base = Concat("stub", MakeZip({{"one.txt", text, CZipWriter::kDeflated}, {"two.txt", "second", CZipWriter::kStored}}));
    auto setBoth16 = [](Bytes& b, int k, size_t centralAt, size_t localAt, uint32_t v) {
        Put16(b, CentralHeader(b, k) + centralAt, v);
        Put16(b, LocalHeader(b, k) + localAt, v);
    };
    auto setBoth32 = [](Bytes& b, int k, size_t centralAt, size_t localAt, uint32_t v) {
        Put32(b, CentralHeader(b, k) + centralAt, v);
        Put32(b, LocalHeader(b, k) + localAt, v);
    };
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
        int code;
        int otherCode;          // a second acceptable code, or 0
        const char* stage;      // "open", or the entry stage that throws
        int entry;
    };
    const Case cases[] = {
        {"no end record at all", [](Bytes& b) { b.assign(1000, 'x'); }, 116, 0, "open", 0},
        {"empty source", [](Bytes& b) { b.clear(); }, 116, 0, "open", 0},
        {"end signature too close to the end",
         [](Bytes& b) { b = Concat(std::string(10, 'x') + std::string("PK\x05\x06", 4) + std::string(10, 'x'), {}); },
         101, 0, "open", 0},
        {"end record beyond the searched tail", [](Bytes& b) { b.insert(b.end(), 70000, 'x'); }, 116, 0, "open", 0},
        {"comment longer than the source", [](Bytes& b) { Put16(b, EndRecord(b) + 20, 500); }, 101, 0, "open", 0},
        {"directory reaching past its end record",
         [](Bytes& b) { Put32(b, EndRecord(b) + 12, Get32(b, EndRecord(b) + 12) + 5000); }, 101, 0, "open", 0},
        {"entries but no directory", [](Bytes& b) { Put32(b, EndRecord(b) + 12, 0); }, 101, 0, "open", 0},
        {"directory but no entries",
         [](Bytes& b) { Put16(b, EndRecord(b) + 8, 0); Put16(b, EndRecord(b) + 10, 0); }, 101, 0, "open", 0},
        {"more entries than the directory holds", [](Bytes& b) { Put16(b, EndRecord(b) + 10, 60000); }, 101, 0, "open", 0},
        {"first header's strings crowding out the next header",
         [](Bytes& b) {
             size_t first = CentralHeader(b, 0);
             uint32_t room = Get32(b, EndRecord(b) + 12) - 46 - (b[first + 28] | b[first + 29] << 8);
             Put16(b, first + 32, room - 20);   // a comment that leaves 20 bytes for header 2
         },
         101, 0, "open", 0},
        {"second volume", [](Bytes& b) { Put16(b, EndRecord(b) + 4, 1); }, 101, 0, "open", 0},
        {"bad central signature", [](Bytes& b) { Put32(b, CentralHeader(b, 1), 0x02014b51); }, 101, 0, "open", 0},
        {"two entries at one offset",
         [](Bytes& b) { Put32(b, CentralHeader(b, 1) + 42, Get32(b, CentralHeader(b, 0) + 42)); }, 101, 0,
         "open", 0},
        {"bad local signature", [](Bytes& b) { Put32(b, LocalHeader(b, 0), 0x04034b55); }, 101, 0, "open entry", 0},
        {"local header beyond the source", [](Bytes& b) { Put32(b, CentralHeader(b, 1) + 42, 0x7FFFFF00); }, 101, 0,
         "open entry", 1},
        {"method other than stored or deflated", [&](Bytes& b) { setBoth16(b, 1, 10, 8, 12); }, 101, 0, "open entry", 1},
        {"local and central methods disagree", [](Bytes& b) { Put16(b, LocalHeader(b, 0) + 8, 0); }, 101, 0,
         "open entry", 0},
        {"local compressed size disagrees",
         [](Bytes& b) { Put32(b, LocalHeader(b, 0) + 18, Get32(b, LocalHeader(b, 0) + 18) + 1); }, 101, 0,
         "open entry", 0},
        {"local CRC disagrees", [](Bytes& b) { Put32(b, LocalHeader(b, 1) + 14, 1234); }, 101, 0, "open entry", 1},
        {"data reaching past the source", [&](Bytes& b) { setBoth32(b, 1, 20, 18, 0x7FFFFFF0); }, 101, 0, "open entry", 1},
        {"encrypted entry", [&](Bytes& b) { setBoth16(b, 1, 8, 6, 1); }, 110, 0, "open entry", 1},
        {"local flags say encrypted", [](Bytes& b) { Put16(b, LocalHeader(b, 1) + 6, 1); }, 110, 0, "open entry", 1},
        {"reserved deflate block type", [](Bytes& b) { b[LocalData(b, 0)] = 0xFF; }, 504, 0, "read", 0},
        {"altered deflate data",
         [](Bytes& b) {
             size_t at = LocalData(b, 0) + Get32(b, CentralHeader(b, 0) + 20) / 2;
             for (size_t i = 0; i < 8; ++i)
                 b[at + i] ^= 0x5A;
         },
         504, 102, "read", 0},
        {"deflate data cut short", [&](Bytes& b) { setBoth32(b, 0, 20, 18, Get32(b, CentralHeader(b, 0) + 20) / 2); },
         506, 0, "read", 0},
        {"CRC mismatch", [&](Bytes& b) { setBoth32(b, 1, 16, 14, 0xDEADBEEF); }, 102, 0, "close", 1},
    };
    for (const Case& c : cases) {
        Bytes bytes = base;
        c.damage(bytes);
        for (Via via : {Via::kMemory, Via::kFile}) {
            SCOPED_TRACE(std::string(c.name) + " via " + ViaName(via));
            const std::string file = "zip_reader_malformed.bin";
            CZipMemorySource memory;
            CZipReader reader;
            std::string errorPath = "unset";
            int code = OpenOver(reader, memory, bytes, via, file, &errorPath);
            std::string stage = "open";
            if (code == 0 && std::string(c.stage) != "open") {
                ASSERT_LT(c.entry, reader.EntryCount()) << c.name;
                Extracted x = Extract(reader, uint16_t(c.entry));
                code = x.code;
                stage = x.stage;
                if (code == 0)
                    stage = "nowhere";
            } else if (code != 0) {
                EXPECT_EQ(errorPath, via == Via::kFile ? file : std::string()) << c.name;
                EXPECT_FALSE(reader.IsOpen()) << c.name;
                EXPECT_EQ(reader.EntryCount(), 0) << c.name;
            }
            EXPECT_TRUE(code == c.code || (c.otherCode && code == c.otherCode))
                << c.name << ": got " << code << " at " << stage;
            if (code == c.code) {
                EXPECT_EQ(stage, c.stage) << c.name;
            }
        }
    }
    std::remove("zip_reader_malformed.bin");
}

TEST(ZipReader, DataDescriptorEntriesTakeSizesFromTheDirectory)
{
    const std::string text = SampleText(5000, 9);
    for (CZipWriter::Method method : {CZipWriter::kStored, CZipWriter::kDeflated}) {
        Bytes bytes = MakeZip({{"dd.txt", text, method}});
        Put16(bytes, CentralHeader(bytes, 0) + 8, 8);
        Put16(bytes, LocalHeader(bytes, 0) + 6, 8);
        for (size_t field : {14, 18, 22})
            Put32(bytes, LocalHeader(bytes, 0) + field, 0);
        CZipMemorySource memory(bytes.data(), uint32_t(bytes.size()));
        CZipReader reader;
        reader.Open(memory);
        Extracted x = Extract(reader, 0);
        EXPECT_EQ(x.code, 0) << "method " << method << " failed at " << x.stage;
        EXPECT_TRUE(x.data == text) << "method " << method;
        EXPECT_EQ(x.closeResult, 1) << "method " << method;
    }
}

TEST(ZipReader, EntryCallsFollowTheirOrder)
{
    const std::vector<Entry> entries = SampleEntries();
    Bytes bytes = MakeZip(entries);
    CZipMemorySource memory(bytes.data(), uint32_t(bytes.size()));
    CZipReader reader;
    reader.Open(memory);
    char buffer[1000];

    EXPECT_EQ(reader.ReadEntry(buffer, sizeof buffer), 0) << "nothing open";
    EXPECT_EQ(reader.CloseEntry(), 0) << "nothing open";
    EXPECT_FALSE(reader.OpenEntry(uint16_t(entries.size()))) << "index past the end";

    ASSERT_TRUE(reader.OpenEntry(1));
    EXPECT_FALSE(reader.OpenEntry(0)) << "another entry is open";
    EXPECT_EQ(reader.ReadEntry(nullptr, 10), 0) << "null buffer";
    EXPECT_EQ(reader.ReadEntry(buffer, 0), 0) << "empty request";
    EXPECT_EQ(reader.ReadEntry(buffer, sizeof buffer), int32_t(sizeof buffer));
    EXPECT_EQ(std::string(buffer, sizeof buffer), kText.substr(0, sizeof buffer));
    EXPECT_EQ(reader.CloseEntry(), -1) << "bytes left undelivered";

    // Small pieces, as many as it takes, deliver the same bytes and verify the CRC.
    for (uint16_t k : {0, 1, 5}) {
        ASSERT_TRUE(reader.OpenEntry(k)) << entries[k].name;
        std::string all;
        for (int32_t n; (n = reader.ReadEntry(buffer, 777)) > 0;)
            all.append(buffer, size_t(n));
        EXPECT_TRUE(all == entries[k].data) << entries[k].name;
        EXPECT_EQ(reader.CloseEntry(), 1) << entries[k].name;
    }

    reader.Close();
    EXPECT_EQ(reader.EntryCount(), 0);
    EXPECT_FALSE(reader.OpenEntry(0));
    EXPECT_TRUE(Bytes(bytes) == MakeZip(entries)) << "closing leaves the memory block alone";
    reader.Open(memory);
    EXPECT_EQ(reader.EntryCount(), int32_t(entries.size())) << "reopened";
}

TEST(ZipReader, MissingFileFailsWithItsPath)
{
    CZipReader reader;
    try {
        reader.Open("zip_reader_no_such_file.bin");
        ADD_FAILURE() << "opened a missing file";
    } catch (const CZipException& e) {
        EXPECT_EQ(e.Code(), 100);
        EXPECT_STREQ(e.Path().Data(), "zip_reader_no_such_file.bin");
    }
    EXPECT_FALSE(reader.IsOpen());
}
