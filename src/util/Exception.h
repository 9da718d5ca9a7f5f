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

    const std::wstring& GetMessage() const { return m_message; }
    void SetMessage(const std::wstring& message);
    const std::wstring& GetTypePath() const { return m_typePath; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    std::wstring m_typePath;
    std::wstring m_message;
    std::string m_utf8;
};

}  // namespace ZEP_Utility

namespace ZEP_IO {

// A failed file operation: "IO exception (" + the system's text for the
// error + ")", with the platform error code.
class IOException : public ZEP_Utility::Exception {
public:
    IOException(const std::wstring& message, std::uint32_t errorCode);
    std::uint32_t GetErrorCode() const { return m_errorCode; }

    // Raises "IO exception" with the calling thread's last platform error.
    [[noreturn]] static void ThrowLastError();

private:
    std::uint32_t m_errorCode;
};

}  // namespace ZEP_IO
