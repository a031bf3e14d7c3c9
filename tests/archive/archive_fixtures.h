// Archives for the archive tests: real ones from the project's ZIP writer, and helpers
// to find and patch header fields for malformed variants.
#pragma once

#include "zip_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace fixtures {

using Bytes = std::vector<unsigned char>;

struct Entry {
    std::string name;
    std::string data;
    CZipWriter::Method method;
};

inline Bytes MakeZip(const std::vector<Entry>& entries, const std::string& comment = std::string())
{
    CZipWriter writer;
    for (const Entry& e : entries)
        writer.AddEntry(e.name, e.data, e.method);
    return writer.Finish(comment);
}

inline std::string AsString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline Bytes Concat(const std::string& before, const Bytes& middle, const std::string& after = std::string())
{
    Bytes out(before.begin(), before.end());
    out.insert(out.end(), middle.begin(), middle.end());
    out.insert(out.end(), after.begin(), after.end());
    return out;
}

// Text that deflates well but not trivially, so deflated entries span several blocks.
inline std::string SampleText(size_t size, uint32_t seed = 1)
{
    static const char* const words[] = {"class ", "void ", "return ", "int ", "{ ", "} ", "; ", "\n",
                                        "java/lang/Object ", "<init> ", "()V ", "Code "};
    std::string out;
    uint32_t x = seed;
    while (out.size() < size) {
        x = x * 1103515245u + 12345u;
        out += words[(x >> 16) % 12];
        if ((x >> 8) % 7 == 0)
            out += char('a' + (x >> 20) % 26);
    }
    out.resize(size);
    return out;
}

inline uint32_t Get32(const Bytes& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

inline void Put16(Bytes& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

inline void Put32(Bytes& b, size_t at, uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Position of the last occurrence of a 4-byte signature at or before `before`.
inline size_t FindSignature(const Bytes& b, uint32_t signature, size_t before = SIZE_MAX)
{
    size_t i = std::min(before, b.size() - 4) + 1;
    while (i-- > 0) {
        if (Get32(b, i) == signature)
            return i;
    }
    return SIZE_MAX;
}

constexpr uint32_t kLocal = 0x04034b50;
constexpr uint32_t kCentral = 0x02014b50;
constexpr uint32_t kEnd = 0x06054b50;

inline size_t EndRecord(const Bytes& b)
{
    return FindSignature(b, kEnd);
}

// Bytes before the archive, computed as the reader does.
inline size_t PrefixLength(const Bytes& b)
{
    size_t end = EndRecord(b);
    return end - Get32(b, end + 12) - Get32(b, end + 16);
}

// Positions in b of the k-th central header (in directory order), of the k-th entry's
// local header and of its data.
inline size_t CentralHeader(const Bytes& b, int k)
{
    size_t at = PrefixLength(b) + Get32(b, EndRecord(b) + 16);
    for (int i = 0; i < k; ++i)
        at += 46 + (b[at + 28] | b[at + 29] << 8) + (b[at + 30] | b[at + 31] << 8) + (b[at + 32] | b[at + 33] << 8);
    return at;
}

inline size_t LocalHeader(const Bytes& b, int k)
{
    return PrefixLength(b) + Get32(b, CentralHeader(b, k) + 42);
}

inline size_t LocalData(const Bytes& b, int k)
{
    size_t at = LocalHeader(b, k);
    return at + 30 + (b[at + 26] | b[at + 27] << 8) + (b[at + 28] | b[at + 29] << 8);
}

// Writes bytes to a file in the current folder (the test's build folder) and returns its
// name; each test passes a name of its own so that tests may run in parallel.
inline std::string WriteFile(const std::string& name, const Bytes& bytes)
{
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (f) {
        if (!bytes.empty())
            std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return name;
}

} // namespace fixtures
