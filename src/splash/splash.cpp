#include "splash/splash.h"

// Placeholder: no splash yet.
CTextBuffer FindRuntimeSplashLibrary()
{
    return CTextBuffer();
}

void StartRuntimeSplash(const CTextBuffer&)
{
}

bool ShowBuiltInSplash(const CTextBuffer&)
{
    return false;
}

void* GetSplashWindowHandle()
{
    return nullptr;
}

void ScheduleSplashClose(int)
{
}

void RegisterSplashCloseOnWindow(JNIEnv*)
{
}
