#include "os/ui.h"

void InitialiseCommonControls()
{
}
