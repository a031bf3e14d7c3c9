// Placeholder host: keeps options and reports that no runtime is loaded. The VM
// creation arrives with the runtime loader.
#include "vm/java_host.h"

CJavaHost* g_javaHost = nullptr;

CJavaHost::CJavaHost() = default;

CJavaHost::~CJavaHost()
{
    Shutdown();
}

void CJavaHost::AddOption(const char* option)
{
    m_options.AddString(option);
}

int CJavaHost::CreateVm(const char*)
{
    m_options.Clear();
    return 2;
}

bool CJavaHost::QueryJavaVersion(CTextBuffer&)
{
    return false;
}

int CJavaHost::CheckJavaVersion(const char*, const char*, const char*)
{
    return 0;
}

void CJavaHost::Shutdown()
{
}
