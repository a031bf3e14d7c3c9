// The ZIP reader. Every length read from the archive is checked against the source's
// real size before anything is allocated, copied or sought, and the first failed read
// ends the operation, so a hostile size field costs nothing.
//
// Sections: sources - opening (end record, central directory) - entries.
#include "archive/zip_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr uint32_t kLocalHeaderSize = 30;
constexpr uint32_t kLongestComment = 0xFFFF;
constexpr uint32_t kSearchChunk = 32768;
// The signature is 4 bytes: chunks overlap by 3 so one split across them is still seen.
constexpr uint32_t kChunkOverlap = 3;
constexpr int32_t kInputBufferSize = 65536;

uint16_t Get16(const unsigned char* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t Get32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

z_stream* Stream(void* p)
{
    return static_cast<z_stream*>(p);
}

int32_t ZlibErrorCode(int result)
{
    return result >= Z_VERSION_ERROR && result <= Z_ERRNO ? kZipErrorZlibBase - result : kZipErrorOther;
}

} // namespace

// ---- Sources ------------------------------------------------------------------------

bool CZipFileSource::Open(const char* path)
{
    Close();
    if (!path || !m_file.Open(path))
        return false;
    int64_t size = m_file.Size();
    if (size < 0 || size > int64_t(UINT32_MAX)) {
        m_file.Close();
        return false;
    }
    m_length = uint32_t(size);
    m_path.Assign(path);
    return true;
}

void CZipFileSource::Close()
{
    m_file.Close();
    m_length = 0;
}

int32_t CZipFileSource::Read(void* buffer, int32_t n)
{
    return m_file.Read(buffer, n);
}

bool CZipFileSource::Seek(int64_t distance, Origin origin)
{
    CReadOnlyFile::Origin from = origin == kBegin     ? CReadOnlyFile::kBegin
                                 : origin == kCurrent ? CReadOnlyFile::kCurrent
                                                      : CReadOnlyFile::kEnd;
    return m_file.Seek(distance, from);
}

void CZipMemorySource::Reset(const void* data, uint32_t size)
{
    m_data = static_cast<const unsigned char*>(data);
    m_size = data ? size : 0;
    m_position = 0;
}

int32_t CZipMemorySource::Read(void* buffer, int32_t n)
{
    if (n < 0 || (n > 0 && !buffer))
        return -1;
    uint32_t count = std::min(uint32_t(n), m_size - m_position);
    if (count)
        std::memcpy(buffer, m_data + m_position, count);
    m_position += count;
    return int32_t(count);
}

bool CZipMemorySource::Seek(int64_t distance, Origin origin)
{
    int64_t base = origin == kBegin ? 0 : origin == kCurrent ? int64_t(m_position) : int64_t(m_size);
    int64_t target = base + distance;
    if (target < 0 || target > int64_t(m_size))
        return false;
    m_position = uint32_t(target);
    return true;
}

// ---- Opening ------------------------------------------------------------------------

CZipReader::~CZipReader()
{
    Close();
}

void CZipReader::Fail(int32_t code) const
{
    throw CZipException(code, m_source ? CTextRef(m_source->Path()) : CTextRef());
}

void CZipReader::ReadExactly(void* buffer, uint32_t n)
{
    if (n > uint32_t(INT32_MAX) || m_source->Read(buffer, int32_t(n)) != int32_t(n))
        Fail(kZipErrorMalformed);
}

void CZipReader::SeekTo(uint64_t position)
{
    if (position > m_source->Length() || !m_source->Seek(int64_t(position), CZipSource::kBegin))
        Fail(kZipErrorMalformed);
}

void CZipReader::Open(const char* path)
{
    Close();
    if (!m_fileSource.Open(path))
        throw CZipException(kZipErrorOther, CTextRef(path));
    Open(m_fileSource);
}

void CZipReader::Open(CZipSource& source)
{
    if (&source != &m_fileSource)
        Close();
    m_source = &source;
    try {
        ReadEndRecord(FindEndRecord());
        if (m_directorySize)
            LoadCentralDirectory();
    } catch (const CZipException&) {
        Close();
        throw;
    }
}

void CZipReader::Close()
{
    AbandonEntry();
    delete[] m_entries;
    m_entries = nullptr;
    m_entryCount = 0;
    m_pool = CTextBuffer();
    m_comment = CTextBuffer();
    m_prefixLength = m_endRecordPosition = m_directoryOffset = m_directorySize = 0;
    m_fileSource.Close();
    m_source = nullptr;
}

uint32_t CZipReader::FindEndRecord()
{
    uint32_t length = m_source->Length();
    uint32_t searched = std::min(length, kEndRecordSize + kLongestComment);
    uint32_t lowest = length - searched;
    CTextBuffer chunk;
    if (!chunk.Resize(int32_t(std::min(searched, kSearchChunk))))
        Fail(kZipErrorOther);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(chunk.Data());
    for (uint32_t end = length;;) {
        uint32_t start = end - lowest > kSearchChunk ? end - kSearchChunk : lowest;
        uint32_t n = end - start;
        SeekTo(start);
        ReadExactly(chunk.Data(), n);
        for (int64_t i = int64_t(n) - 4; i >= 0; --i) {
            if (Get32(bytes + i) == kEndSignature)
                return start + uint32_t(i);
        }
        if (start == lowest)
            break;
        end = start + kChunkOverlap;
    }
    Fail(kZipErrorNoEndRecord);
}

void CZipReader::ReadEndRecord(uint32_t position)
{
    unsigned char record[kEndRecordSize];
    SeekTo(position);
    ReadExactly(record, kEndRecordSize);
    uint16_t disk = Get16(record + 4);
    uint16_t directoryDisk = Get16(record + 6);
    uint16_t count = Get16(record + 10);
    uint32_t directorySize = Get32(record + 12);
    uint32_t directoryOffset = Get32(record + 16);
    uint16_t commentLength = Get16(record + 20);

    if (uint64_t(position) + kEndRecordSize + commentLength > m_source->Length())
        Fail(kZipErrorMalformed);
    if (!m_comment.Resize(commentLength))
        Fail(kZipErrorOther);
    ReadExactly(m_comment.Data(), commentLength);

    // Multi-volume archives never carry a payload; reading one as a single volume
    // would resolve every offset wrongly.
    if (disk != 0 || directoryDisk != 0)
        Fail(kZipErrorMalformed);
    if (uint64_t(directoryOffset) + directorySize > position)
        Fail(kZipErrorMalformed);
    if ((directorySize == 0) != (count == 0))
        Fail(kZipErrorMalformed);
    if (uint64_t(count) * kCentralHeaderSize > directorySize)
        Fail(kZipErrorMalformed);

    m_endRecordPosition = position;
    m_prefixLength = position - directoryOffset - directorySize;
    m_directoryOffset = directoryOffset;
    m_directorySize = directorySize;
    m_entryCount = count;
}

void CZipReader::LoadCentralDirectory()
{
    // The directory lies between the prefix and the end record, so its size is bounded
    // by the source; it is read in one piece and parsed from memory.
    CTextBuffer directory;
    if (!directory.Resize(int32_t(m_directorySize)))
        Fail(kZipErrorOther);
    SeekTo(uint64_t(m_prefixLength) + m_directoryOffset);
    ReadExactly(directory.Data(), m_directorySize);

    int32_t count = m_entryCount;
    m_entryCount = 0;
    CZipEntry* entries = new (std::nothrow) CZipEntry[size_t(count)];
    if (!entries)
        Fail(kZipErrorOther);
    m_entries = entries;
    // Names, extra fields and comments fill what the fixed headers leave of the
    // directory (all of it, unless the directory ends in unused bytes).
    if (!m_pool.Resize(int32_t(m_directorySize - uint32_t(count) * kCentralHeaderSize)))
        Fail(kZipErrorOther);

    const unsigned char* h = reinterpret_cast<const unsigned char*>(directory.Data());
    const unsigned char* end = h + m_directorySize;
    char* out = m_pool.Data();
    const char* poolEnd = out + m_pool.Length();
    for (int32_t i = 0; i < count; ++i) {
        if (end - h < int32_t(kCentralHeaderSize) || Get32(h) != kCentralSignature)
            Fail(kZipErrorMalformed);
        CZipEntry& e = entries[i];
        e.versionMadeBy = Get16(h + 4);
        e.versionNeeded = Get16(h + 6);
        e.flags = Get16(h + 8);
        e.method = Get16(h + 10);
        e.time = Get16(h + 12);
        e.date = Get16(h + 14);
        e.crc32 = Get32(h + 16);
        e.compressedSize = Get32(h + 20);
        e.uncompressedSize = Get32(h + 24);
        e.nameLength = Get16(h + 28);
        e.extraLength = Get16(h + 30);
        e.commentLength = Get16(h + 32);
        e.diskNumberStart = Get16(h + 34);
        e.internalAttributes = Get16(h + 36);
        e.externalAttributes = Get32(h + 38);
        e.localHeaderOffset = Get32(h + 42);
        h += kCentralHeaderSize;
        int32_t variable = int32_t(e.nameLength) + e.extraLength + e.commentLength;
        // Past the pool, the strings would take room the headers still to come need.
        if (end - h < variable || poolEnd - out < variable)
            Fail(kZipErrorMalformed);
        std::memcpy(out, h, size_t(variable));
        std::replace(out, out + e.nameLength, '/', '\\');
        e.name = out;
        e.extra = out + e.nameLength;
        e.comment = e.extra + e.extraLength;
        out += variable;
        h += variable;
        m_entryCount = i + 1;
    }

    auto before = [](const CZipEntry& a, const CZipEntry& b) {
        return a.diskNumberStart != b.diskNumberStart ? a.diskNumberStart < b.diskNumberStart
                                                      : a.localHeaderOffset < b.localHeaderOffset;
    };
    std::sort(entries, entries + count, before);
    for (int32_t i = 1; i < count; ++i) {
        if (!before(entries[i - 1], entries[i]))
            Fail(kZipErrorMalformed);
    }
}

// ---- Entries ------------------------------------------------------------------------

bool CZipReader::OpenEntry(uint16_t index)
{
    if (!m_source || index >= m_entryCount || m_openIndex >= 0)
        return false;
    CZipEntry& e = m_entries[index];
    uint64_t local = uint64_t(m_prefixLength) + e.localHeaderOffset;
    unsigned char h[kLocalHeaderSize];
    SeekTo(local);
    ReadExactly(h, kLocalHeaderSize);
    if (Get32(h) != kLocalSignature)
        Fail(kZipErrorMalformed);
    uint16_t localFlags = Get16(h + 6);
    if ((localFlags & 0xF) != (e.flags & 0xF))
        e.flags = localFlags;
    uint16_t localMethod = Get16(h + 8);
    if (localMethod != e.method || (e.method != kStored && e.method != kDeflated))
        Fail(kZipErrorMalformed);
    if (!(localFlags & 8) &&
        (Get32(h + 14) != e.crc32 || Get32(h + 18) != e.compressedSize || Get32(h + 22) != e.uncompressedSize))
        Fail(kZipErrorMalformed);
    e.localNameLength = Get16(h + 26);
    e.localExtraLength = Get16(h + 28);
    uint64_t data = local + kLocalHeaderSize + e.localNameLength + e.localExtraLength;
    // The local name and extra field are skipped; what matters is that they, and the
    // entry's data after them, lie inside the source.
    if (data > m_source->Length())
        Fail(kZipErrorMalformed);
    if (e.IsEncrypted())
        Fail(kZipErrorEncrypted);
    if (data + e.compressedSize > m_source->Length())
        Fail(kZipErrorMalformed);
    SeekTo(data);

    CTextBuffer input;
    if (!input.Resize(kInputBufferSize))
        Fail(kZipErrorOther);
    if (e.method == kDeflated) {
        z_stream* z = new (std::nothrow) z_stream();
        if (!z)
            Fail(kZipErrorOther);
        int result = inflateInit2(z, -MAX_WBITS);
        if (result != Z_OK) {
            delete z;
            Fail(ZlibErrorCode(result));
        }
        m_inflate = z;
    }
    m_input = static_cast<CTextBuffer&&>(input);
    m_inputPosition = m_inputAvailable = 0;
    m_compressedLeft = e.compressedSize;
    m_uncompressedLeft = e.uncompressedSize;
    m_crc = 0;
    m_streamEnded = false;
    m_openIndex = index;
    return true;
}

void CZipReader::RefillInput()
{
    uint32_t n = std::min(uint32_t(kInputBufferSize), m_compressedLeft);
    ReadExactly(m_input.Data(), n);
    m_compressedLeft -= n;
    m_inputPosition = 0;
    m_inputAvailable = int32_t(n);
}

int32_t CZipReader::ReadEntry(void* buffer, int32_t size)
{
    if (m_openIndex < 0 || !buffer || size <= 0)
        return 0;
    const CZipEntry& e = m_entries[m_openIndex];
    uint32_t want = std::min(uint32_t(size), m_uncompressedLeft);
    unsigned char* out = static_cast<unsigned char*>(buffer);
    unsigned char* input = reinterpret_cast<unsigned char*>(m_input.Data());
    uint32_t delivered = 0;
    while (delivered < want) {
        if (m_inputAvailable == 0 && m_compressedLeft > 0)
            RefillInput();
        if (e.method == kStored) {
            if (m_inputAvailable == 0)
                break;
            uint32_t n = std::min(uint32_t(m_inputAvailable), want - delivered);
            std::memcpy(out + delivered, input + m_inputPosition, n);
            m_inputPosition += int32_t(n);
            m_inputAvailable -= int32_t(n);
            delivered += n;
            continue;
        }
        if (m_streamEnded)
            break;
        z_stream* z = Stream(m_inflate);
        z->next_in = input + m_inputPosition;
        z->avail_in = uInt(m_inputAvailable);
        z->next_out = out + delivered;
        z->avail_out = uInt(want - delivered);
        int result = inflate(z, Z_SYNC_FLUSH);
        uint32_t consumed = uint32_t(m_inputAvailable) - z->avail_in;
        uint32_t produced = (want - delivered) - z->avail_out;
        m_inputPosition += int32_t(consumed);
        m_inputAvailable -= int32_t(consumed);
        delivered += produced;
        if (result == Z_STREAM_END) {
            m_streamEnded = true;
            break;
        }
        if (result != Z_OK)
            Fail(ZlibErrorCode(result));
        if (consumed == 0 && produced == 0)
            break;
    }
    m_crc = uint32_t(crc32(m_crc, out, uInt(delivered)));
    m_uncompressedLeft -= delivered;
    if (m_uncompressedLeft == 0 && e.method == kDeflated)
        FinishDeflateStream();
    return int32_t(delivered);
}

void CZipReader::FinishDeflateStream()
{
    // Every byte has been delivered; the rest of the stream (normally just the end of the
    // last block) is fed so that it ends, with no room for more output.
    z_stream* z = Stream(m_inflate);
    unsigned char scratch[1];
    unsigned char* input = reinterpret_cast<unsigned char*>(m_input.Data());
    while (!m_streamEnded) {
        if (m_inputAvailable == 0) {
            if (m_compressedLeft == 0)
                return;
            RefillInput();
        }
        z->next_in = input + m_inputPosition;
        z->avail_in = uInt(m_inputAvailable);
        z->next_out = scratch;
        z->avail_out = 0;
        int result = inflate(z, Z_SYNC_FLUSH);
        uint32_t consumed = uint32_t(m_inputAvailable) - z->avail_in;
        m_inputPosition += int32_t(consumed);
        m_inputAvailable -= int32_t(consumed);
        if (result == Z_STREAM_END)
            m_streamEnded = true;
        else if (result == Z_BUF_ERROR || consumed == 0)
            return;   // the stream holds more than the stated size; the CRC decides
        else if (result != Z_OK)
            Fail(ZlibErrorCode(result));
    }
}

int32_t CZipReader::CloseEntry()
{
    if (m_openIndex < 0)
        return 0;
    bool complete = m_uncompressedLeft == 0;
    bool matches = m_crc == m_entries[m_openIndex].crc32;
    AbandonEntry();
    if (!complete)
        return -1;
    if (!matches)
        Fail(kZipErrorCrc);
    return 1;
}

void CZipReader::AbandonEntry()
{
    if (m_inflate) {
        inflateEnd(Stream(m_inflate));
        delete Stream(m_inflate);
        m_inflate = nullptr;
    }
    m_input = CTextBuffer();
    m_inputPosition = m_inputAvailable = 0;
    m_openIndex = -1;
}
