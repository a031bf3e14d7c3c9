#include "zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace {

// 1980-01-01 00:00, so that the same inputs always give the same archive.
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr uint16_t kVersion = 20;
constexpr uint16_t kUtf8NameFlag = 1 << 11;

void Put16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutBytes(std::vector<unsigned char>& out, const void* data, size_t n)
{
    const auto* p = static_cast<const unsigned char*>(data);
    out.insert(out.end(), p, p + n);
}

bool IsAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool RawDeflate(const void* data, size_t size, std::vector<unsigned char>& out)
{
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, uLong(size)));
    z.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    z.avail_in = uInt(size);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

} // namespace

bool CZipWriter::HasEntry(const std::string& name) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.name == name; });
}

bool CZipWriter::AddEntry(const std::string& name, const void* data, size_t size, Method method)
{
    if (name.empty() || name.size() > 0xFFFF) {
        m_error = "entry name is empty or too long: '" + name + "'";
        return false;
    }
    if (HasEntry(name)) {
        m_error = "two entries are named '" + name + "'";
        return false;
    }
    if (m_entries.size() >= 0xFFFF || size > 0xFFFFFFF0u) {
        m_error = "the archive would be too large without ZIP64: '" + name + "'";
        return false;
    }
    std::vector<unsigned char> deflated;
    if (method == kDeflated && !RawDeflate(data, size, deflated)) {
        m_error = "deflate failed for '" + name + "'";
        return false;
    }
    const void* stored = method == kDeflated ? deflated.data() : data;
    size_t storedSize = method == kDeflated ? deflated.size() : size;
    if (m_body.size() + 30 + name.size() + storedSize > 0xFFFFFFF0u) {
        m_error = "the archive would be too large without ZIP64: '" + name + "'";
        return false;
    }
    Entry entry{name, method, uint32_t(crc32(0, static_cast<const Bytef*>(data), uInt(size))), uint32_t(size),
                uint32_t(storedSize), uint32_t(m_body.size())};

    Put32(m_body, 0x04034b50);
    Put16(m_body, kVersion);
    Put16(m_body, IsAscii(name) ? 0 : kUtf8NameFlag);
    Put16(m_body, method);
    Put16(m_body, kDosTime);
    Put16(m_body, kDosDate);
    Put32(m_body, entry.crc);
    Put32(m_body, entry.storedSize);
    Put32(m_body, entry.size);
    Put16(m_body, uint32_t(name.size()));
    Put16(m_body, 0);
    PutBytes(m_body, name.data(), name.size());
    PutBytes(m_body, stored, storedSize);
    m_entries.push_back(std::move(entry));
    return true;
}

std::vector<unsigned char> CZipWriter::Finish(const std::string& comment) const
{
    std::vector<unsigned char> out(m_body);
    uint32_t directoryOffset = uint32_t(out.size());
    for (const Entry& entry : m_entries) {
        Put32(out, 0x02014b50);
        Put16(out, kVersion);
        Put16(out, kVersion);
        Put16(out, IsAscii(entry.name) ? 0 : kUtf8NameFlag);
        Put16(out, entry.method);
        Put16(out, kDosTime);
        Put16(out, kDosDate);
        Put32(out, entry.crc);
        Put32(out, entry.storedSize);
        Put32(out, entry.size);
        Put16(out, uint32_t(entry.name.size()));
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, 0);
        Put32(out, entry.offset);
        PutBytes(out, entry.name.data(), entry.name.size());
    }
    uint32_t directorySize = uint32_t(out.size()) - directoryOffset;
    size_t commentLength = std::min<size_t>(comment.size(), 0xFFFF);
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, uint32_t(m_entries.size()));
    Put16(out, uint32_t(m_entries.size()));
    Put32(out, directorySize);
    Put32(out, directoryOffset);
    Put16(out, uint32_t(commentLength));
    PutBytes(out, comment.data(), commentLength);
    return out;
}
