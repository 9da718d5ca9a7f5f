// A temporary folder for one test, removed with everything in it afterwards,
// and the small file helpers the tests share.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/kernel/WideText.h"

namespace ob::test {

class TestFolder {
public:
    TestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orbelline-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TestFolder() {
        std::error_code ec;
        // Folders a test made read-only must become writable to be removed.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory(ec))
                ::chmod(it->path().c_str(), 0700);
        ::chmod(m_path.c_str(), 0700);
        std::filesystem::remove_all(m_path, ec);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::wstring WPath() const { return kernel::FromUtf8(m_path.string()); }
    // The path of `name` inside the folder (which may name a subfolder).
    std::string File(const std::string& name) const { return (m_path / name).string(); }
    std::string operator/(const std::string& name) const { return File(name); }
    std::wstring WFile(const std::string& name) const { return kernel::FromUtf8(File(name)); }

    // Writes `bytes` to `name`, making the folders on the way; its wide path.
    std::wstring Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(File(name)).parent_path());
        std::ofstream(File(name), std::ios::binary) << bytes;
        return WFile(name);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path m_path;
};

// Replaces the file's content; nothing is written where its folder is missing.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Writes the file, making the folders on the way.
inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The file's content; empty when it cannot be read.
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ob::test
