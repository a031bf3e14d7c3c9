// The configuration store: the external configuration file's text followed by the block
// embedded in the executable, both held as UTF-8, with the lookups every other
// subsystem reads its keys through.
#pragma once

#include "text/text_buffer.h"

class CLaunchConfig : public CTextBuffer {
public:
    // With load set, the configuration is read completely before the constructor returns.
    explicit CLaunchConfig(bool load);
    ~CLaunchConfig() override;

    void Load();

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

    // Named reads of the single-valued keys, each doing exactly its key's reading,
    // expansion and resolution.
    CTextBuffer ReadAppId() const;
    CTextBuffer ReadSplashTitle() const;
    CTextBuffer ReadWildcard() const;
    CTextBuffer ReadForceCwd() const;
    CTextBuffer ReadStdout() const;
    CTextBuffer ReadStderr() const;
    CTextBuffer ReadJreOrder() const;
    CTextBuffer ReadJvmDll() const;
    CTextBuffer ReadJre() const;
    CTextBuffer ReadVm() const;

    int32_t ExternalLength() const { return m_externalLength; }
    int32_t TrailerPosition() const { return m_trailerPosition; }

private:
    int32_t m_externalLength = 0;
    CTextBuffer m_exePath;
    CTextBuffer m_exeFolder;
    CTextBuffer m_currentFolder;
    CTextBuffer m_vmFlavour;
    int32_t m_trailerPosition = 0;
};

extern CLaunchConfig* g_config;
