// Until the loader exists the store knows only where the executable lies; every key
// reads as empty text.
#include "config/launch_config.h"

#include "os/process.h"

CLaunchConfig* g_config = nullptr;

CLaunchConfig::CLaunchConfig(bool load)
{
    if (load)
        Load();
}

CLaunchConfig::~CLaunchConfig() = default;

void CLaunchConfig::Load()
{
    RefreshCurrentFolder();
    m_exePath = GetExecutablePath();
    int32_t cut = m_exePath.Length();
    while (cut > 0 && m_exePath.Data()[cut - 1] != '\\' && m_exePath.Data()[cut - 1] != '/')
        --cut;
    m_exeFolder = m_exePath.Left(cut);
}

void CLaunchConfig::RefreshCurrentFolder()
{
    m_currentFolder = GetCurrentFolderPath();
    char last = m_currentFolder.CharAt(m_currentFolder.Length() - 1);
    if (last != '\\' && last != '/')
        m_currentFolder.Append('/');
}

CTextBuffer CLaunchConfig::GetValue(const char* key, bool embeddedOnly, bool convert) const
{
    return ForEachValue(key, nullptr, nullptr, embeddedOnly, convert, "");
}

CTextBuffer CLaunchConfig::ForEachValue(const char*, ValueVisitor, void*, bool, bool, const char*) const
{
    return CTextBuffer();
}

CTextBuffer CLaunchConfig::GetValueWithPrefix(const char* key, const char* prefix, bool convert) const
{
    return ForEachValue(key, nullptr, nullptr, false, convert, prefix);
}

void CLaunchConfig::CollectValues(const char*, CTextList&, bool) const
{
}

CTextBuffer CLaunchConfig::ResolveAppPath(const CTextRef& path) const
{
    return CTextBuffer(path);
}

CTextBuffer CLaunchConfig::ReadAppId() const { return GetValue("appid"); }
CTextBuffer CLaunchConfig::ReadSplashTitle() const { return GetValue("splashtitle"); }
CTextBuffer CLaunchConfig::ReadWildcard() const { return GetValue("wildcard"); }
CTextBuffer CLaunchConfig::ReadForceCwd() const { return GetValue("forcecwd"); }
CTextBuffer CLaunchConfig::ReadStdout() const { return GetValue("stdout"); }
CTextBuffer CLaunchConfig::ReadStderr() const { return GetValue("stderr"); }
CTextBuffer CLaunchConfig::ReadJreOrder() const { return GetValue("jre_order"); }
CTextBuffer CLaunchConfig::ReadJvmDll() const { return ResolveAppPath(GetValue("jvmdll")); }
CTextBuffer CLaunchConfig::ReadJre() const { return ResolveAppPath(GetValue("jre")); }
CTextBuffer CLaunchConfig::ReadVm() const { return GetValue("vm"); }
