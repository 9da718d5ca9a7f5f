// Whether the drawing layer is built in. The window system works without it
// (nothing is drawn); with it, windows, menus and the shell draw.
#pragma once

#if __has_include("platform/ui/gdi/DeviceContext.h")
#include "platform/ui/gdi/DeviceContext.h"
#define OB_HAVE_GDI 1
#endif
