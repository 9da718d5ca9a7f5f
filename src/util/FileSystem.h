// The file system service behind folder listing and file management, the
// folder listing itself and the two path functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel/FileApi.h"

namespace ZEP_IO {

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual std::uint32_t LastErrorCode() = 0;
    virtual bool CreateFolder(const std::wstring& path, void* security) = 0;
    virtual bool DeleteFolder(const std::wstring& path) = 0;
    virtual std::uint32_t GetAttributes(const std::wstring& path) = 0;
    virtual bool RemoveFile(const std::wstring& path) = 0;
    virtual ob::kernel::FindHandle FindFirst(const std::wstring& pattern, ob::kernel::FindData& data) = 0;
    virtual bool FindNext(ob::kernel::FindHandle handle, ob::kernel::FindData& data) = 0;
    virtual void EndFind(ob::kernel::FindHandle handle) = 0;
};

// The platform's file system: each operation is the kernel call of that role.
class PosixFileSystem : public IFileSystem {
public:
    std::uint32_t LastErrorCode() override;
    bool CreateFolder(const std::wstring& path, void* security) override;
    bool DeleteFolder(const std::wstring& path) override;
    std::uint32_t GetAttributes(const std::wstring& path) override;
    bool RemoveFile(const std::wstring& path) override;
    ob::kernel::FindHandle FindFirst(const std::wstring& pattern, ob::kernel::FindData& data) override;
    bool FindNext(ob::kernel::FindHandle handle, ob::kernel::FindData& data) override;
    void EndFind(ob::kernel::FindHandle handle) override;
};

// The file system in use; initially the platform's. Null restores it.
IFileSystem& GetFileSystem();
void SetFileSystem(IFileSystem* fileSystem);

}  // namespace ZEP_IO

namespace ZEP_Utility {

// The text after the last slash, or the whole path when there is none.
std::wstring GetFileName(const std::wstring& path);
// GetFileName without the part from its last full stop on.
std::wstring GetFileTitle(const std::wstring& path);

// Replaces `list` with folder + "/" + name of every entry matching `pattern`
// that is a folder (wantFolders) or a file (otherwise), in listing order.
// A folder that cannot be listed raises ZEP_IO::IOException; an existing
// folder with no matching entry gives an empty list.
void ListFolder(const std::wstring& folder, const std::wstring& pattern, bool wantFolders,
                std::vector<std::wstring>& list);
inline void ListFiles(const std::wstring& folder, std::vector<std::wstring>& list) {
    ListFolder(folder, L"*.*", false, list);
}

}  // namespace ZEP_Utility
