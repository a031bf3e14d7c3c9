// Helpers for the configuration tests: scratch folders, files written byte for byte,
// executables-as-files laid out like a finished program, and a locale whose code page
// holds the accented letters used (UTF-8 on Linux, Windows-1252 under Wine).
#pragma once

#include "text/text_buffer.h"
#include "zip_writer.h"

#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace config_test {

inline std::string Bytes(const CTextRef& text) { return std::string(text.Data(), size_t(text.Length())); }

inline bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::string ReadFile(const std::string& path)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// A folder of its own under the system's temporary folder, removed with its contents.
class CTempFolder {
public:
    CTempFolder()
    {
        static int counter = 0;
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("tovarin-config-" + std::to_string(stamp) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(m_path);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    virtual ~CTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    // The folder, or a name inside it, in the system's own form.
    std::string Path(const std::string& name = std::string()) const
    {
        return name.empty() ? m_path.string() : (m_path / name).string();
    }

private:
    std::filesystem::path m_path;
};

inline std::string LittleEndian32(uint32_t v)
{
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[size_t(i)] = char((v >> (8 * i)) & 0xFF);
    return b;
}

// The configuration block as the build step writes it: mark, text, final NUL.
inline std::string Block(const std::string& text)
{
    return "\xEF\xBB\xBF" + text + std::string(1, '\0');
}

inline std::string SmallZip(const std::string& comment = std::string())
{
    CZipWriter zip;
    zip.AddEntry("com/example/Main.class", std::string("\xCA\xFE\xBA\xBE payload", 12), CZipWriter::kDeflated);
    std::vector<unsigned char> bytes = zip.Finish(comment);
    return std::string(bytes.begin(), bytes.end());
}

// A finished program: stub bytes, block, its length, 16 reserved bytes, the archive
// and whatever follows it. archiveLength receives A, what the stub's field would hold:
// the archive through its end record (a comment after the record is not part of it).
inline std::string FinishedImage(const std::string& stub, const std::string& block, const std::string& zip,
                                 const std::string& after, uint32_t* archiveLength)
{
    if (archiveLength) {
        size_t end = zip.rfind(std::string("PK\x05\x06", 4));
        *archiveLength = end == std::string::npos ? 0 : uint32_t(end + 22);
    }
    return stub + block + LittleEndian32(uint32_t(block.size())) + std::string(16, 'R') + zip + after;
}

// Bytes that look like the start of an executable and hold no end-record signature.
inline std::string FakeStub(size_t size = 4096)
{
    std::string stub(size, '\0');
    for (size_t i = 0; i < size; ++i)
        stub[i] = char("MZ stub image "[i % 14]);
    return stub;
}

// Selects a locale whose code page holds e acute and i diaeresis, "C" again afterwards.
class CLocaleGuard {
public:
    CLocaleGuard()
    {
        const char* names[] = {"C.UTF-8", "en_US.UTF-8", ".1252", "English_United States.1252"};
        for (const char* name : names)
            if (std::setlocale(LC_ALL, name)) {
                m_found = true;
                break;
            }
    }
    virtual ~CLocaleGuard() { std::setlocale(LC_ALL, "C"); }
    bool Found() const { return m_found; }

private:
    bool m_found = false;
};

// The code-page form of 16-bit text in the current locale.
inline std::string AnsiForm(const char16_t* units)
{
    CTextBuffer ansi;
    ansi.AssignAnsiFromWide(units);
    return Bytes(ansi);
}

} // namespace config_test
