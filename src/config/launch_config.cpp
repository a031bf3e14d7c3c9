// The store's lookups: the line scan every key read goes through, path resolution, the
// named reads of the single-valued keys, and the launcher's own sources for value
// expansion (special names and registry references).
#include "config/launch_config.h"

#include "config/environment.h"
#include "config/value_expansion.h"
#include "os/process.h"
#include "os/registry.h"
#include "text/path.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <initializer_list>

CLaunchConfig* g_config = nullptr;

namespace {

constexpr int32_t kMaxRegistryDepth = 8;
constexpr int32_t kRegistryExpansionBudget = 64;

bool HasHighBytes(const CTextRef& text)
{
    for (int32_t i = 0; i < text.Length(); ++i)
        if (static_cast<unsigned char>(text.Data()[i]) >= 0x80)
            return true;
    return false;
}

// UTF-8 as stored to the ANSI code page; plain ASCII needs no trip through UTF-16.
CTextBuffer ToAnsi(const CTextBuffer& utf8)
{
    if (!HasHighBytes(utf8))
        return utf8;
    CWideTextBuffer wide;
    CTextBuffer ansi;
    if (!wide.AssignFromUtf8(utf8.Data(), utf8.Length()) || !ansi.AssignAnsiFromWide(wide.Data()))
        return CTextBuffer();
    return ansi;
}

// The line belongs to the key when it begins with it (any case) and the key is not
// just the start of a longer word: "splashtitle" is no "splash", "jre_order" no "jre".
bool StartsWithKey(const char* line, const char* key, size_t keyLength)
{
    for (size_t i = 0; i < keyLength; ++i) {
        if (!line[i] || std::tolower(static_cast<unsigned char>(line[i])) !=
                            std::tolower(static_cast<unsigned char>(key[i])))
            return false;
    }
    unsigned char next = static_cast<unsigned char>(line[keyLength]);
    return !std::isalnum(next) && next != '_';
}

bool IsAbsolute(const CTextRef& path)
{
    return path.CharAt(0) == '\\' || path.CharAt(0) == '/' || path.CharAt(1) == ':';
}

struct CollectContext {
    CTextList* target;
    bool utf8Output;
    const CLaunchConfig* config;
};

void CollectExpanded(void* raw, const char* value)
{
    CollectContext* context = static_cast<CollectContext*>(raw);
    context->target->AddString(ExpandValue(CTextBuffer(value), context->utf8Output, context->config));
}

} // namespace

// ---- Line reader ------------------------------------------------------------------------

bool CLineReader::ReadLine(CTextBuffer& line)
{
    if (!*m_position) {
        line.Clear();
        return false;
    }
    const char* end = m_position;
    while (*end && *end != '\r' && *end != '\n')
        ++end;
    line.Assign(m_position, int32_t(end - m_position));
    if (*end) {
        // CR LF and LF CR are one break each; a lone CR or LF is one too.
        char first = *end++;
        if ((*end == '\r' || *end == '\n') && *end != first)
            ++end;
    }
    m_position = end;
    return true;
}

// ---- Lookups ----------------------------------------------------------------------------

CTextBuffer CLaunchConfig::GetValue(const char* key, bool embeddedOnly, bool convert) const
{
    return ForEachValue(key, nullptr, nullptr, embeddedOnly, convert, "");
}

CTextBuffer CLaunchConfig::ForEachValue(const char* key, ValueVisitor visitor, void* context, bool embeddedOnly,
                                        bool convert, const char* prefix) const
{
    size_t keyLength = key ? std::strlen(key) : 0;
    if (keyLength == 0)
        return CTextBuffer();
    CTextBuffer wanted(prefix ? prefix : "");
    CLineReader reader(Data() + (embeddedOnly ? m_externalLength : 0));
    CTextBuffer line;
    while (reader.ReadLine(line)) {
        // Only blanks are skipped around the key and the "="; a tab belongs to the value.
        const char* p = line.Data();
        while (*p == ' ')
            ++p;
        if (!StartsWithKey(p, key, keyLength))
            continue;
        p += keyLength;
        while (*p == ' ')
            ++p;
        if (*p == '=') {
            ++p;
            while (*p == ' ')
                ++p;
        }
        CTextBuffer value(p);
        if (convert)
            value = ToAnsi(value);
        if (!wanted.IsEmpty() && wanted.IsPrefixOf(value) != 0)
            continue;
        if (!visitor)
            return value;
        visitor(context, value.Data());
    }
    return CTextBuffer();
}

CTextBuffer CLaunchConfig::GetValueWithPrefix(const char* key, const char* prefix, bool convert) const
{
    return ForEachValue(key, nullptr, nullptr, false, convert, prefix);
}

void CLaunchConfig::CollectValues(const char* key, CTextList& target, bool convert) const
{
    CollectContext context{&target, !convert, this};
    ForEachValue(key, CollectExpanded, &context, false, convert, "");
}

CTextBuffer CLaunchConfig::ResolveAppPath(const CTextRef& path) const
{
    if (path.IsEmpty() || IsAbsolute(path))
        return CTextBuffer(path);
    CTextBuffer inExeFolder = m_exeFolder;
    inExeFolder.Append(path);
    if (FileExists(inExeFolder.Data()))
        return inExeFolder;
    CTextBuffer inCurrentFolder = m_currentFolder;
    inCurrentFolder.Append(path);
    return FileExists(inCurrentFolder.Data()) ? inCurrentFolder : inExeFolder;
}

void CLaunchConfig::RefreshCurrentFolder()
{
    m_currentFolder = GetCurrentFolderPath();
    char last = m_currentFolder.CharAt(m_currentFolder.Length() - 1);
    if (last != '\\' && last != '/')
        m_currentFolder.Append('/');
}

// ---- Named reads --------------------------------------------------------------------------

CTextBuffer CLaunchConfig::ExpandedValue(const char* key) const
{
    return ExpandValue(GetValue(key), false, this);
}

CTextBuffer CLaunchConfig::ResolvedValue(const char* key) const
{
    return ResolveAppPath(ExpandedValue(key));
}

CTextBuffer CLaunchConfig::ReadMainClass() const { return GetValue("mainclass", true); }
CTextBuffer CLaunchConfig::ReadMinJre() const { return GetValue("minjre"); }
CTextBuffer CLaunchConfig::ReadMaxJre() const { return GetValue("maxjre"); }
CTextBuffer CLaunchConfig::ReadAsSystemClassLoader() const { return GetValue("assystemclassloader"); }
CTextBuffer CLaunchConfig::ReadCompatible() const { return GetValue("compatible", true); }
CTextBuffer CLaunchConfig::ReadJreOrder() const { return GetValue("jre_order"); }
CTextBuffer CLaunchConfig::ReadJvmDll() const { return ResolvedValue("jvmdll"); }
CTextBuffer CLaunchConfig::ReadJre() const { return ResolvedValue("jre"); }
CTextBuffer CLaunchConfig::ReadWildcard() const { return GetValue("wildcard"); }
CTextBuffer CLaunchConfig::ReadSingleInstance() const { return GetValue("singleinstance"); }
CTextBuffer CLaunchConfig::ReadAppId() const { return GetValue("appid"); }
CTextBuffer CLaunchConfig::ReadStdout() const { return ExpandedValue("stdout"); }
CTextBuffer CLaunchConfig::ReadStderr() const { return ExpandedValue("stderr"); }
CTextBuffer CLaunchConfig::ReadForceCwd() const { return ExpandedValue("forcecwd"); }
CTextBuffer CLaunchConfig::ReadSplash() const { return ResolvedValue("splash"); }
CTextBuffer CLaunchConfig::ReadSplashTitle() const { return GetValue("splashtitle"); }
CTextBuffer CLaunchConfig::ReadSplashCloseOnWindow() const { return GetValue("splashcloseonwindow"); }
CTextBuffer CLaunchConfig::ReadDisableExternal() const { return GetValue("disableexternal", true); }

CTextBuffer CLaunchConfig::ReadVm() const
{
    // The runtime search asks for the flavour at every candidate folder; the environment
    // may change meanwhile (export), so the first answer is the one kept.
    if (!m_vmFlavourRead) {
        m_vmFlavour = ExpandedValue("vm");
        m_vmFlavourRead = true;
    }
    return m_vmFlavour;
}

// ---- Expansion sources ----------------------------------------------------------------------

const char* CLaunchConfig::LookupSpecialName(const char* name) const
{
    CTextBuffer wanted(name);
    if (wanted.CompareNoCase("APPLICATION_HOME") == 0)
        return m_exeFolder.Data();
    if (wanted.CompareNoCase("PWD") == 0)
        return m_currentFolder.Data();
    if (wanted.CompareNoCase("QVX_APP_PATH") == 0)
        return m_exePath.Data();
    if (wanted.CompareNoCase("HOME") == 0) {
        if (!m_homeKnown) {
            const char* drive = FindEnvironmentValue("HOMEDRIVE");
            const char* path = FindEnvironmentValue("HOMEPATH");
            if (!drive || !path)
                return "";
            m_home.Assign(drive);
            m_home.Append(path);
            m_homeKnown = true;
        }
        return m_home.Data();
    }
    return nullptr;
}

const char* CLaunchConfig::LookupRegistryReference(const char* name) const
{
    struct Root {
        const char* shortPrefix;
        const char* longPrefix;
        RegistryRoot root;
    };
    static const Root kRoots[] = {
        {"HKCR\\", "HKEY_CLASSES_ROOT\\", RegistryRoot::kClassesRoot},
        {"HKCU\\", "HKEY_CURRENT_USER\\", RegistryRoot::kCurrentUser},
        {"HKLM\\", "HKEY_LOCAL_MACHINE\\", RegistryRoot::kLocalMachine},
        {"HKU\\", "HKEY_USERS\\", RegistryRoot::kUsers},
        {"HKCC\\", "HKEY_CURRENT_CONFIG\\", RegistryRoot::kCurrentConfig},
    };
    if (!name)
        return nullptr;
    if (m_registryDepth == 0)
        m_registryBudget = kRegistryExpansionBudget;

    const Root* root = nullptr;
    const char* rest = name;
    for (const Root& r : kRoots) {
        for (const char* prefix : {r.shortPrefix, r.longPrefix}) {
            size_t n = std::strlen(prefix);
            if (std::strncmp(name, prefix, n) == 0) {
                root = &r;
                rest = name + n;
                break;
            }
        }
        if (root)
            break;
    }
    const char* bar = std::strchr(rest, '|');
    const char* fallback = bar ? bar + 1 : nullptr;
    auto giveFallback = [&]() -> const char* {
        if (!fallback)
            return nullptr;
        m_registryResult.Assign(fallback);
        return m_registryResult.Data();
    };
    if (!root)
        return giveFallback();

    CTextBuffer registryPart(rest, bar ? int32_t(bar - rest) : -1);
    const char* lastSeparator = std::strrchr(registryPart.Data(), '\\');
    CTextBuffer keyPath = lastSeparator ? registryPart.Left(int32_t(lastSeparator - registryPart.Data())) : registryPart;
    CTextBuffer valueName(lastSeparator ? lastSeparator + 1 : "");

    uint32_t type = 0;
    CTextBuffer data;
    {
        CRegistryKey key;
        if (!key.Open(root->root, keyPath.Data()) || !key.QueryValue(valueName.Data(), type, data))
            return giveFallback();
    }

    CTextBuffer text;
    switch (type) {
    case CRegistryKey::kString:
        text.Assign(data.Data());   // up to the string's own terminator
        break;
    case CRegistryKey::kExpandString:
        // A value that refers to itself would expand without end; past the bounds it
        // counts as a value that cannot be read.
        if (m_registryDepth >= kMaxRegistryDepth || m_registryBudget <= 0)
            return giveFallback();
        --m_registryBudget;
        ++m_registryDepth;
        text = ExpandValue(CTextBuffer(data.Data()), false, this);
        --m_registryDepth;
        break;
    case CRegistryKey::kDword:
    case CRegistryKey::kDwordBigEndian: {
        if (data.Length() < 4)
            return giveFallback();
        const unsigned char* b = reinterpret_cast<const unsigned char*>(data.Data());
        uint32_t v = type == CRegistryKey::kDword
                         ? uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24
                         : uint32_t(b[3]) | uint32_t(b[2]) << 8 | uint32_t(b[1]) << 16 | uint32_t(b[0]) << 24;
        text.Clear();
        text.AppendDecimal(int32_t(v));
        break;
    }
    default:
        break;   // other types count as a value with empty text
    }
    m_registryResult = text;
    return m_registryResult.Data();
}
