// Loading the configuration: the archive-length field, the trailer at the end of the
// executable, the external files beside it and the decoding of both texts.
//
// The positions computed from the file's tail come from bytes anyone can change (a
// truncated download, a bare stub, a hostile file), so each is checked against the
// file's real size before it is used; one that does not fit means "no embedded block".
#include "config/launch_config.h"

#include "os/file.h"
#include "os/process.h"
#include "text/path.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kReservedBytes = 16;
constexpr int32_t kEndRecordSize = 22;
constexpr int64_t kCommentWindow = 51200;

// The build step finds the one occurrence of the 18 marker bytes in the stub and writes
// the archive length into the 4 bytes before them. Volatile keeps the compiler from
// folding the reads into the 0 it sees at compile time; `used` keeps the bytes even
// where nothing seems to need them.
__attribute__((used)) volatile unsigned char g_archiveLengthField[22] = {
    0, 0, 0, 0, 'T', 'O', 'V', 'A', 'R', 'I', 'N', '-', 'A', 'R', 'C', 'H', 'I', 'V', 'E', 'L', 'E', 'N',
};

uint32_t ReadLittleEndian32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ReadWholeFile(const char* path, CTextBuffer& bytes)
{
    CReadOnlyFile file;
    if (!file.Open(path))
        return false;
    int64_t size = file.Size();
    if (size < 0 || size > INT32_MAX - 2 || !bytes.Resize(int32_t(size)))
        return false;
    // A folder opens on Linux but cannot be read: that counts as a file that does not open.
    int32_t got = file.Read(bytes.Data(), int32_t(size));
    if (got < 0)
        return false;
    bytes.Resize(got);
    return true;
}

// 16-bit units after a byte-order mark, up to the first 0 unit, as UTF-8.
bool DecodeUtf16(const unsigned char* bytes, int32_t n, bool bigEndian, CTextBuffer& utf8)
{
    int32_t count = n / 2;
    CWideTextBuffer units;
    if (!units.Resize(count))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        unsigned char first = bytes[2 * i], second = bytes[2 * i + 1];
        units.Data()[i] = bigEndian ? char16_t(first << 8 | second) : char16_t(second << 8 | first);
    }
    return utf8.AssignUtf8FromWide(units.Data());
}

} // namespace

CLaunchConfig::CLaunchConfig(bool load)
{
    if (load)
        Load();
}

CLaunchConfig::~CLaunchConfig() = default;

void CLaunchConfig::Load()
{
    LoadFrom(GetExecutablePath().Data(), ReadArchiveLengthField());
}

void CLaunchConfig::LoadFrom(const char* exePath, uint32_t archiveLength)
{
    Clear();
    m_externalLength = 0;
    m_vmFlavourRead = false;
    m_vmFlavour.Clear();

    // 1. The trailer. One read-only view serves the comment search and the block.
    // An executable that cannot be mapped shows no bytes, hence no block.
    CFileMapping image;
    image.Map(exePath);
    LocateConfigBlock(image.Data(), image.Size(), archiveLength);

    // 2, 3. The folders value expansion and path resolution refer to.
    RefreshCurrentFolder();
    m_exePath.Assign(exePath);
    int32_t cut = m_exePath.Length();
    while (cut > 0 && m_exePath.Data()[cut - 1] != '\\' && m_exePath.Data()[cut - 1] != '/')
        --cut;
    m_exeFolder = m_exePath.Left(cut);

    // 4. The first external file that opens: the full name plus ".cfg" or ".config",
    // then the name with its extension replaced by them.
    int32_t dot = -1;
    for (int32_t i = m_exePath.Length() - 1; i >= 0; --i) {
        char c = m_exePath.Data()[i];
        if (c == '.') {
            dot = i;
            break;
        }
        if (c == '\\' || c == '/')
            break;
    }
    CTextBuffer stem = dot >= 0 ? m_exePath.Left(dot) : m_exePath;
    const CTextBuffer* bases[] = {&m_exePath, &m_exePath, &stem, &stem};
    const char* suffixes[] = {".cfg", ".config", ".cfg", ".config"};
    for (int k = 0; k < 4; ++k) {
        CTextBuffer candidate = *bases[k];
        candidate.Append(suffixes[k]);
        if (FileExists(candidate.Data()) && ReadExternalFile(candidate.Data()))
            break;
    }

    // 5. The external lines come first, so their first values win.
    if (!IsEmpty())
        Append("\r\n", 2);
    m_externalLength = Length();

    // 6.
    ReadEmbeddedBlock(image.Data(), image.Size());

    // 7. Only the embedded block may switch the external file off.
    if (ReadDisableExternal().CompareNoCase("true") == 0) {
        Erase(0, m_externalLength);
        m_externalLength = 0;
    }
}

bool CLaunchConfig::ReadExternalFile(const char* path)
{
    CTextBuffer bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    AppendConfigText(reinterpret_cast<const unsigned char*>(bytes.Data()), bytes.Length());
    return true;
}

uint32_t CLaunchConfig::ReadArchiveLengthField()
{
    static unsigned char s_copy[sizeof g_archiveLengthField];
    for (size_t i = 0; i < sizeof s_copy; ++i)
        s_copy[i] = g_archiveLengthField[i];
    if (std::getenv("_TOVARIN_BINARY_DEBUG_")) {
        for (unsigned char c : s_copy)
            std::putchar(c < 32 ? '.' : c);
        std::putchar('\n');
        std::fflush(stdout);
    }
    return ReadLittleEndian32(s_copy);
}

int64_t CLaunchConfig::FindArchiveComment(const unsigned char* image, int64_t size)
{
    if (!image || size < kEndRecordSize)
        return 0;
    int64_t span = size / 100 > kCommentWindow ? size / 100 : kCommentWindow;
    int64_t windowStart = size - span - kEndRecordSize;
    if (windowStart < 0)
        windowStart = 0;
    for (int64_t e = size - kEndRecordSize; e >= windowStart; --e)
        if (image[e] == 0x50 && image[e + 1] == 0x4B && image[e + 2] == 0x05 && image[e + 3] == 0x06)
            return size - (e + kEndRecordSize);
    return 0;
}

void CLaunchConfig::LocateConfigBlock(const unsigned char* image, int64_t size, uint32_t archiveLength)
{
    m_trailerPosition = 0;
    if (!image || size <= 0)
        return;
    int64_t comment = FindArchiveComment(image, size);
    int64_t trailer = size - comment - int64_t(archiveLength) - kReservedBytes;
    // The block length sits in the 4 bytes before the trailer; the block before it.
    if (trailer < 4 || trailer > size || trailer > INT32_MAX)
        return;
    uint32_t blockLength = ReadLittleEndian32(image + trailer - 4);
    if (int64_t(blockLength) > trailer - 4)
        return;
    m_trailerPosition = int32_t(trailer);
}

void CLaunchConfig::ReadEmbeddedBlock(const unsigned char* image, int64_t size)
{
    int64_t trailer = m_trailerPosition;
    if (!image || trailer < 4 || trailer > size)
        return;
    uint32_t blockLength = ReadLittleEndian32(image + trailer - 4);
    if (blockLength == 0 || int64_t(blockLength) > trailer - 4)
        return;
    const unsigned char* block = image + trailer - 4 - blockLength;
    // The copy stops at the block's final NUL; what follows it is zero in the work buffer.
    CTextBuffer work;
    if (!work.Resize(int32_t(blockLength)))
        return;
    const void* zero = std::memchr(block, 0, blockLength);
    size_t text = zero ? size_t(static_cast<const unsigned char*>(zero) - block) : blockLength;
    std::memcpy(work.Data(), block, text);
    std::memset(work.Data() + text, 0, blockLength - text);
    AppendConfigText(reinterpret_cast<const unsigned char*>(work.Data()), work.Length());
}

bool CLaunchConfig::AppendConfigText(const unsigned char* bytes, int32_t n)
{
    if (!bytes || n <= 0)
        return true;
    if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        return Append(reinterpret_cast<const char*>(bytes + 3), n - 3);
    CTextBuffer utf8;
    if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        if (!DecodeUtf16(bytes + 2, n - 2, false, utf8))
            return false;
    } else if (n >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        if (!DecodeUtf16(bytes + 2, n - 2, true, utf8))
            return false;
    } else {
        CWideTextBuffer wide;
        if (!wide.AssignFromAnsi(reinterpret_cast<const char*>(bytes), n) || !utf8.AssignUtf8FromWide(wide.Data()))
            return false;
    }
    return Append(utf8);
}
