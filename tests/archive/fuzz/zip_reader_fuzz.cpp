// Feeds arbitrary bytes to the ZIP reader through both byte sources and reads every
// entry. Both sources must tell the same story: same error codes, same bytes.
#include "archive/zip_reader.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Bytes delivered per entry are capped: a genuine deflate bomb is slow, not a fault.
constexpr uint32_t kMaxDeliveredPerEntry = 1 << 20;
constexpr int32_t kMaxEntries = 256;

// A compact account of one pass: every code, count and checksum in order.
std::string Walk(CZipReader& reader, CZipSource* source, const char* path)
{
    std::string story;
    auto note = [&](const char* what, uint32_t value) {
        story += what;
        story += std::to_string(value);
        story += ' ';
    };
    try {
        if (source)
            reader.Open(*source);
        else
            reader.Open(path);
    } catch (const CZipException& e) {
        note("open-error", uint32_t(e.Code()));
        return story;
    }
    note("entries", uint32_t(reader.EntryCount()));
    note("prefix", reader.PrefixLength());
    static unsigned char buffer[70000];
    static const int32_t pieces[] = {1, 13, 4096, 70000};
    for (int32_t i = 0; i < reader.EntryCount() && i < kMaxEntries; ++i) {
        const CZipEntry& e = reader.Entry(uint16_t(i));
        // Names never keep a '/', and every entry's strings lie in the reader's pool.
        for (int32_t k = 0; k < e.nameLength; ++k) {
            if (e.name[k] == '/')
                std::abort();
        }
        volatile char touch = 0;
        for (int32_t k = 0; k < e.extraLength; ++k)
            touch = char(touch ^ e.extra[k]);
        for (int32_t k = 0; k < e.commentLength; ++k)
            touch = char(touch ^ e.comment[k]);
        try {
            if (!reader.OpenEntry(uint16_t(i))) {
                note("refused", uint32_t(i));
                continue;
            }
            uint32_t total = 0, hash = 2166136261u;
            int32_t piece = pieces[i % 4];
            for (int32_t n; total < kMaxDeliveredPerEntry && (n = reader.ReadEntry(buffer, piece)) > 0;) {
                if (n > piece)
                    std::abort();
                for (int32_t k = 0; k < n; ++k)
                    hash = (hash ^ buffer[k]) * 16777619u;
                total += uint32_t(n);
            }
            if (total > e.uncompressedSize)
                std::abort();
            note("read", total);
            note("hash", hash);
            note("close", uint32_t(reader.CloseEntry()));
        } catch (const CZipException& e) {
            note("error", uint32_t(e.Code()));
            reader.AbandonEntry();
        }
    }
    reader.Close();
    return story;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    CZipMemorySource memory(data, uint32_t(size));
    CZipReader reader;
    std::string fromMemory = Walk(reader, &memory, nullptr);

    // In memory-backed storage where there is one: a disk file per input halves the speed.
    static std::string path = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              std::string("/tovarin_zip_fuzz_") + std::to_string(getpid()) + ".bin";
    static bool cleanup = std::atexit([] { std::remove(path.c_str()); }) == 0;
    (void)cleanup;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::string fromFile = Walk(reader, nullptr, path.c_str());
    if (fromMemory != fromFile) {
        std::fprintf(stderr, "memory: %s\nfile:   %s\n", fromMemory.c_str(), fromFile.c_str());
        std::abort();
    }
    return 0;
}
