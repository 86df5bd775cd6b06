// Control_Init: everything the control library needs registered before the
// first dialog is built from a template naming its classes.
#include "core/services/control_init_win32.h"

#include <commctrl.h>

#include "core/services/tileview_win32.h"

int Control_Init(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX icc = {};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&icc);
    return TileView_Register(instance);
}
