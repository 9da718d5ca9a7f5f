// Replacing a file so that readers only ever see the old or the new content:
// the bytes go to a temporary file in the same folder, are flushed to disk,
// and the temporary file is renamed over the real name.
#pragma once

#include <string>
#include <string_view>

namespace OBPump {

// False (with the reason in `error`) when anything fails; the old file is
// then untouched and no temporary file is left behind.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Creates a folder and its missing parents; true when it exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace OBPump
