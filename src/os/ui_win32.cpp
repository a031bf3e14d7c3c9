#include "os/ui.h"

#include <windows.h>
#include <commctrl.h>

void InitialiseCommonControls()
{
    INITCOMMONCONTROLSEX init;
    init.dwSize = 8;
    init.dwICC = 0;
    InitCommonControlsEx(&init);
}

void ShowWarningBox(void* owner, const char* text, const char* caption)
{
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}
