// The configuration store: the external configuration file's text followed by the block
// embedded in the executable, both held as UTF-8, with the lookups every other
// subsystem reads its keys through.
//
// Sections: line reader - loading - lookups - named reads - expansion sources.
#pragma once

#include "text/text_buffer.h"

#include <cstdint>

// A cursor over NUL-terminated text that hands out one line at a time. It does not own
// the text.
class CLineReader {
public:
    explicit CLineReader(const char* text) : m_position(text ? text : "") {}
    virtual ~CLineReader() = default;

    // The next line without its break (CR, LF, CR LF or LF CR), or false at the end.
    bool ReadLine(CTextBuffer& line);

private:
    const char* m_position;
};

class CLaunchConfig : public CTextBuffer {
public:
    // With load set, the configuration is read completely before the constructor returns.
    explicit CLaunchConfig(bool load);
    ~CLaunchConfig() override;

    // ---- Loading ----------------------------------------------------------------------

    // Reads the running executable's own configuration.
    void Load();
    // The same for the executable file at exePath whose archive-length field holds
    // archiveLength; Load passes its own path and field.
    void LoadFrom(const char* exePath, uint32_t archiveLength);

    // The archive length the build step wrote into this executable's data (0 in a bare
    // stub). With "_TOVARIN_BINARY_DEBUG_" set, the field is also shown on standard output.
    static uint32_t ReadArchiveLengthField();
    // Length of the archive comment: the bytes after the last end-of-central-directory
    // signature found near the end of the image, 0 when there is none.
    static int64_t FindArchiveComment(const unsigned char* image, int64_t size);
    // Finds the trailer of the image and keeps its position (0 when the trailer, or the
    // block before it, does not lie inside the image: a bare stub, a truncated file).
    void LocateConfigBlock(const unsigned char* image, int64_t size, uint32_t archiveLength);
    // Appends the embedded block found by LocateConfigBlock, if there is one.
    void ReadEmbeddedBlock(const unsigned char* image, int64_t size);
    // Decodes raw configuration text (UTF-8 with mark, UTF-16 either way with mark, else
    // the ANSI code page) and appends it as UTF-8.
    bool AppendConfigText(const unsigned char* bytes, int32_t n);

    // ---- Lookups ------------------------------------------------------------------------

    // Called with each value (a NUL-terminated byte string) of a key, in line order.
    using ValueVisitor = void (*)(void* context, const char* value);

    // First value of key, or empty text. embeddedOnly skips the external file's lines;
    // convert turns a value holding bytes >= 0x80 from UTF-8 into the ANSI code page.
    CTextBuffer GetValue(const char* key, bool embeddedOnly = false, bool convert = true) const;
    // The one scan: without a visitor, the first value that begins with prefix (an empty
    // prefix accepts every value); with one, every such value is visited, result empty.
    CTextBuffer ForEachValue(const char* key, ValueVisitor visitor, void* context, bool embeddedOnly,
                             bool convert, const char* prefix) const;
    CTextBuffer GetValueWithPrefix(const char* key, const char* prefix, bool convert = true) const;
    // Every value of key, expanded (ANSI output with convert, UTF-8 without), into target.
    void CollectValues(const char* key, CTextList& target, bool convert) const;
    // A relative path tried against the executable's folder, then the captured current
    // folder, falling back to the executable's folder; absolute paths unchanged.
    CTextBuffer ResolveAppPath(const CTextRef& path) const;

    CTextBuffer GetExePath() const { return m_exePath; }
    CTextBuffer GetExeFolder() const { return m_exeFolder; }
    CTextBuffer GetCurrentFolder() const { return m_currentFolder; }
    void RefreshCurrentFolder();

    int32_t ExternalLength() const { return m_externalLength; }
    int32_t TrailerPosition() const { return m_trailerPosition; }

    // ---- Named reads of the single-valued keys ----------------------------------------
    // Each does exactly its key's reading (first value, or first of the embedded block),
    // expansion and resolution; all deliver ANSI text.

    CTextBuffer ReadMainClass() const;             // embedded only
    CTextBuffer ReadMinJre() const;
    CTextBuffer ReadMaxJre() const;
    CTextBuffer ReadAsSystemClassLoader() const;
    CTextBuffer ReadCompatible() const;            // embedded only
    CTextBuffer ReadJreOrder() const;
    CTextBuffer ReadJvmDll() const;                // expanded, resolved
    CTextBuffer ReadJre() const;                   // expanded, resolved; empty stays empty
    CTextBuffer ReadVm() const;                    // expanded; read once, then kept
    CTextBuffer ReadWildcard() const;
    CTextBuffer ReadSingleInstance() const;
    CTextBuffer ReadAppId() const;
    CTextBuffer ReadStdout() const;                // expanded
    CTextBuffer ReadStderr() const;                // expanded
    CTextBuffer ReadForceCwd() const;              // expanded
    CTextBuffer ReadSplash() const;                // expanded, resolved
    CTextBuffer ReadSplashTitle() const;
    CTextBuffer ReadSplashCloseOnWindow() const;
    CTextBuffer ReadDisableExternal() const;       // embedded only

    // ---- Expansion sources --------------------------------------------------------------
    // Both return text valid until their next call, or null when they have no value.

    // APPLICATION_HOME, PWD, QVX_APP_PATH and HOME (HOMEDRIVE joined to HOMEPATH),
    // compared ignoring case.
    const char* LookupSpecialName(const char* name) const;
    // "HKLM\key path\value name|fallback" and the other roots.
    const char* LookupRegistryReference(const char* name) const;

private:
    CTextBuffer ExpandedValue(const char* key) const;
    CTextBuffer ResolvedValue(const char* key) const;
    bool ReadExternalFile(const char* path);

    int32_t m_externalLength = 0;
    CTextBuffer m_exePath;
    CTextBuffer m_exeFolder;
    CTextBuffer m_currentFolder;
    mutable CTextBuffer m_vmFlavour;
    int32_t m_trailerPosition = 0;

    // Caches behind the reads and lookups above.
    mutable bool m_vmFlavourRead = false;
    mutable bool m_homeKnown = false;
    mutable CTextBuffer m_home;
    mutable CTextBuffer m_registryResult;
    // Registry strings of the expandable type are expanded again, and may refer to
    // themselves: their nesting and their number per outermost reference are bounded.
    mutable int32_t m_registryDepth = 0;
    mutable int32_t m_registryBudget = 0;
};

extern CLaunchConfig* g_config;
