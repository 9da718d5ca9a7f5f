// The program's resources: the string table, the menus and the menu bar, the
// dialog templates owned by the shell and the bitmaps, by the numbers of
// ResourceIds.h. They are registered with the window system once at
// start-up, before any window is made.
#pragma once

#include "resources/ResourceIds.h"

namespace OBResources {

// The Add City (nearby cities), Options and Change Fields templates.
void RegisterNearbyOptionsFieldsTemplates();

// The program's version as the About box shows it.
const wchar_t* ProgramVersion();

// Registers everything; calling it again registers it again (the window
// system may have been restarted in between).
void RegisterResources();

}  // namespace OBResources
