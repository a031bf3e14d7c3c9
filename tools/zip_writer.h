// A small writer for ZIP archives as the payload needs them: stored and deflated entries,
// no ZIP64, offsets relative to the archive's first byte. Used by the build tool and by
// tests that need real archives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CZipWriter {
public:
    enum Method : uint16_t { kStored = 0, kDeflated = 8 };

    CZipWriter() = default;
    virtual ~CZipWriter() = default;

    // Adds an entry named `name` (bytes as given; '/' separates folders). Fails on a name
    // already added, an empty name, or data too large for a 32-bit archive. A deflated
    // entry that does not shrink is still stored deflated, as asked.
    bool AddEntry(const std::string& name, const void* data, size_t size, Method method);
    bool AddEntry(const std::string& name, const std::string& data, Method method)
    {
        return AddEntry(name, data.data(), data.size(), method);
    }
    bool HasEntry(const std::string& name) const;
    size_t EntryCount() const { return m_entries.size(); }

    // The whole archive: local headers and data, central directory, end record and the
    // comment. The writer can be finished more than once.
    std::vector<unsigned char> Finish(const std::string& comment = std::string()) const;

    // Why the last call failed, for the user.
    const std::string& Error() const { return m_error; }

private:
    struct Entry {
        std::string name;
        uint16_t method;
        uint32_t crc;
        uint32_t size;
        uint32_t storedSize;
        uint32_t offset;   // of the local header in m_body
    };

    std::vector<Entry> m_entries;
    std::vector<unsigned char> m_body;
    std::string m_error;
};
