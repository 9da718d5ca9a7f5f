// The library's exceptions. Each carries a message for display and a type
// path naming its class ("::ZEP_Utility::Exception::ZEP_IO::IOException").
// They are thrown by value and caught by reference.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace ZEP_Utility {

class Exception : public std::exception {
public:
    Exception(const std::wstring& typeName, const std::wstring& message);
    ~Exception() override = default;

    const std::wstring& GetMessage() const { return message_; }
    void SetMessage(const std::wstring& message);
    const std::wstring& GetTypePath() const { return typePath_; }
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    std::wstring typePath_;
    std::wstring message_;
    std::string utf8_;
};

}  // namespace ZEP_Utility

namespace ZEP_IO {

// A failed file operation: "IO exception (" + the system's text for the
// error + ")", with the platform error code.
class IOException : public ZEP_Utility::Exception {
public:
    IOException(const std::wstring& message, std::uint32_t errorCode);
    std::uint32_t GetErrorCode() const { return errorCode_; }

    // Raises "IO exception" with the calling thread's last platform error.
    [[noreturn]] static void ThrowLastError();

private:
    std::uint32_t errorCode_;
};

}  // namespace ZEP_IO
