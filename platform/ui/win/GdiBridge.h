// The drawing layer as the window system uses it: device contexts over the
// screen, fonts, text and shapes for the parts it draws itself.
#pragma once

#include "platform/ui/Gdi.h"
#include "platform/ui/gdi/DeviceContext.h"
