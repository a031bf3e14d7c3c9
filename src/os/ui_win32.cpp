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
