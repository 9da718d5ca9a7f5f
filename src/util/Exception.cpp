#include "util/Exception.h"

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"

namespace ZEP_Utility {

Exception::Exception(const std::wstring& typeName, const std::wstring& message)
    : m_typePath(L"::ZEP_Utility::Exception::" + typeName),
      m_message(message),
      m_utf8(ob::kernel::ToUtf8(message)) {}

void Exception::SetMessage(const std::wstring& message) {
    m_message = message;
    m_utf8 = ob::kernel::ToUtf8(message);
}

}  // namespace ZEP_Utility

namespace ZEP_IO {

IOException::IOException(const std::wstring& message, std::uint32_t errorCode)
    : ZEP_Utility::Exception(L"ZEP_IO::IOException",
                             message + L" (" + ob::kernel::ErrorMessage(errorCode) + L")"),
      m_errorCode(errorCode) {}

void IOException::ThrowLastError() { throw IOException(L"IO exception", ob::kernel::GetLastError()); }

}  // namespace ZEP_IO
