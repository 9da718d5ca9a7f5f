#include "downloader/pump/AtomicFile.h"

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"

namespace OBPump {

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    if (ob::kernel::WriteFileAtomically(ob::kernel::FromUtf8(path), bytes))
        return true;
    const std::uint32_t code = ob::kernel::GetLastError();
    error = ob::kernel::ToUtf8(ob::kernel::ErrorMessage(code));
    if (error.empty())
        error = "error " + std::to_string(code);
    return false;
}

bool MakeFolders(const std::string& path) {
    const std::wstring wide = ob::kernel::FromUtf8(path);
    ob::kernel::CreateFolderTree(wide);
    const std::uint32_t attributes = ob::kernel::GetFileAttributes(wide);
    return attributes != ob::kernel::kInvalidAttributes &&
           (attributes & ob::kernel::kAttributeDirectory) != 0;
}

}  // namespace OBPump
