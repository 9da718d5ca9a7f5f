#include "util/FileSystem.h"

#include "util/Exception.h"

namespace ZEP_IO {

namespace k = ob::kernel;

std::uint32_t PosixFileSystem::LastErrorCode() { return k::GetLastError(); }
bool PosixFileSystem::CreateFolder(const std::wstring& path, void*) { return k::CreateFolder(path); }
bool PosixFileSystem::DeleteFolder(const std::wstring& path) { return k::RemoveFolder(path); }
std::uint32_t PosixFileSystem::GetAttributes(const std::wstring& path) { return k::GetFileAttributes(path); }
bool PosixFileSystem::RemoveFile(const std::wstring& path) { return k::DeleteFile(path); }
k::FindHandle PosixFileSystem::FindFirst(const std::wstring& pattern, k::FindData& data) {
    return k::FindFirstFile(pattern, data);
}
bool PosixFileSystem::FindNext(k::FindHandle handle, k::FindData& data) {
    return k::FindNextFile(handle, data);
}
void PosixFileSystem::EndFind(k::FindHandle handle) {
    // Closing must not disturb the error that ended the search.
    const auto error = k::GetLastError();
    k::FindClose(handle);
    k::SetLastError(error);
}

namespace {
PosixFileSystem g_platformFileSystem;
IFileSystem* g_fileSystem = &g_platformFileSystem;
}  // namespace

IFileSystem& GetFileSystem() { return *g_fileSystem; }
void SetFileSystem(IFileSystem* fileSystem) {
    g_fileSystem = fileSystem ? fileSystem : &g_platformFileSystem;
}

}  // namespace ZEP_IO

namespace ZEP_Utility {

std::wstring GetFileName(const std::wstring& path) {
    const auto slash = path.find_last_of(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring GetFileTitle(const std::wstring& path) {
    std::wstring name = GetFileName(path);
    const auto dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

void ListFolder(const std::wstring& folder, const std::wstring& pattern, bool wantFolders,
                std::vector<std::wstring>& list) {
    list.clear();
    ZEP_IO::IFileSystem& fs = ZEP_IO::GetFileSystem();
    ob::kernel::FindData data;
    const ob::kernel::FindHandle find = fs.FindFirst(folder + L"/" + pattern, data);
    if (find == ob::kernel::kInvalidFind) {
        const std::uint32_t error = fs.LastErrorCode();
        // Nothing matched in a folder that exists: an empty listing.
        if (error == ob::kernel::kErrorFileNotFound || error == ob::kernel::kErrorNoMoreFiles)
            return;
        throw ZEP_IO::IOException(L"IO exception", error);
    }
    bool more = true;
    while (more) {
        const bool isFolder = data.attributes & ob::kernel::kAttributeDirectory;
        if (isFolder == wantFolders)
            list.push_back(folder + L"/" + data.name);
        more = fs.FindNext(find, data);
    }
    const std::uint32_t error = fs.LastErrorCode();
    fs.EndFind(find);
    if (error != ob::kernel::kErrorNoMoreFiles)
        throw ZEP_IO::IOException(L"IO exception", error);
}

}  // namespace ZEP_Utility
