#include "downloader/pump/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace OBPump {
namespace {

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    // "f_42.xml.tmpXXXXXX": unique per writer and never mistaken for a forecast file.
    std::string pattern = path + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = SystemError("cannot create a temporary file");
        return false;
    }
    const std::string temporary(name.data());
    auto fail = [&](const char* what) {
        error = SystemError(what);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    };

    ::fchmod(fd, 0644);
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("cannot write the temporary file");
        }
        written += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0)
        return fail("cannot flush the temporary file");
    if (::close(fd) != 0) {
        error = SystemError("cannot close the temporary file");
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot rename the temporary file");
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; failing here loses nothing already visible.
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool MakeFolders(const std::string& path) {
    if (path.empty())
        return false;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    const std::string parent = FolderOf(path);
    if (parent != path && !MakeFolders(parent))
        return false;
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace OBPump
