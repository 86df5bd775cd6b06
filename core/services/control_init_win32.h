// Start-up of the control library: the TileView class and the common
// controls the colour dialog uses.
#pragma once

#include <windows.h>

// Registers the window class "TileView" for the module instance and loads the
// common controls (trackbars). Call once at start-up before any dialog that
// holds these controls is created; later calls are harmless. Returns 1 when
// the TileView class is available afterwards.
int Control_Init(HINSTANCE instance);
