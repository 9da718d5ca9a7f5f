#include "model/Settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/kernel/FileApi.h"
#include "platform/kernel/WideText.h"

namespace ZEP_Utility {

namespace {

// Code units of a character in UTF-16 order: characters above the BMP sort as
// their surrogates (0xD800..0xDFFF), i.e. before U+E000..U+FFFF.
std::uint32_t Utf16Rank(wchar_t c) {
    const auto v = static_cast<std::uint32_t>(c);
    if (v >= 0x10000)
        return 0xD800 + ((v - 0x10000) >> 10);
    return v;
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

bool IsLineBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

// Handles one line of the file (without its line end). A line of any length
// is taken whole; one without a comma is kept aside so that a save writes it
// back as it was.
void ReadLine(std::string_view bytes, Settings::Map& pairs, std::vector<std::string>& otherLines) {
    if (bytes.find(',') == std::string_view::npos) {
        otherLines.emplace_back(bytes);
        return;
    }
    const std::wstring line = ob::kernel::FromUtf8(std::string(bytes));
    const auto comma = line.find(L',');
    std::wstring value = line.substr(comma + 1);
    while (!value.empty() && IsBlank(value.back()))
        value.pop_back();
    pairs[line.substr(0, comma)] = std::move(value);
}

}  // namespace

bool Utf16KeyLess::operator()(const std::wstring& a, const std::wstring& b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const auto ra = Utf16Rank(a[i]);
        const auto rb = Utf16Rank(b[i]);
        if (ra != rb)
            return ra < rb;
        // Two characters above the BMP with the same high surrogate.
        return static_cast<std::uint32_t>(a[i]) < static_cast<std::uint32_t>(b[i]);
    }
    return a.size() < b.size();
}

bool Settings::Load(const std::wstring& path) {
    m_pairs.clear();
    m_otherLines.clear();
    m_ours.clear();
    // Taken before reading: a change made while the file is read is seen at
    // the next save, not lost.
    m_stamp = ob::kernel::GetFileStamp(path);
    std::string bytes;
    m_loadResult = ob::kernel::ReadRegularFile(path, kMaxFileBytes, bytes);
    if (m_loadResult != ob::kernel::FileReadResult::Ok)
        return false;
    LoadText(bytes);
    return true;
}

void Settings::LoadText(std::string_view bytes) {
    m_pairs.clear();
    m_otherLines.clear();
    m_ours.clear();
    std::size_t i = 0;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
        static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
        i = 3;
    while (i < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", i);
        if (end == std::string_view::npos)
            end = bytes.size();
        if (end > i)
            ReadLine(bytes.substr(i, end - i), m_pairs, m_otherLines);
        i = end + 1;
    }
}

std::string Settings::GetFileText() const {
    std::string content;
    for (const auto& line : m_otherLines) {
        content += line;
        content += "\r\n";
    }
    for (const auto& [key, value] : m_pairs) {
        content += ob::kernel::ToUtf8(key);
        content += ',';
        content += ob::kernel::ToUtf8(value);
        content += "\r\n";
    }
    return content;
}

bool Settings::Save(const std::wstring& path) const {
    const std::string content = GetFileText();

    // One temporary name beside the file, so that a save cut short leaves at
    // most that one file behind, emptied by the next save.
    return !path.empty() && ob::kernel::WriteFileAtomically(path, content, path + L".tmp");
}

bool Settings::SaveKeepingOthers(const std::wstring& path) {
    if (const auto now = ob::kernel::GetFileStamp(path); now && now != m_stamp) {
        Settings onDisk;
        if (onDisk.Load(path)) {
            for (const std::wstring& key : m_ours) {
                const auto mine = m_pairs.find(key);
                if (mine == m_pairs.end())
                    onDisk.m_pairs.erase(key);
                else
                    onDisk.m_pairs[key] = mine->second;
            }
            m_pairs = std::move(onDisk.m_pairs);
            m_otherLines = std::move(onDisk.m_otherLines);
        }
    }
    if (!Save(path))
        return false;
    m_stamp = ob::kernel::GetFileStamp(path);
    return true;
}

bool Settings::GetString(const std::wstring& key, std::wstring& value) const {
    const auto it = m_pairs.find(key);
    if (it == m_pairs.end())
        return false;
    value = it->second;
    return true;
}

bool Settings::GetInt(const std::wstring& key, int& value) const {
    const auto it = m_pairs.find(key);
    if (it == m_pairs.end())
        return false;
    ParseInt(it->second, value);
    return true;
}

bool Settings::GetDouble(const std::wstring& key, double& value) const {
    const auto it = m_pairs.find(key);
    if (it == m_pairs.end())
        return false;
    ParseDouble(it->second, value);
    return true;
}

bool Settings::SetString(const std::wstring& key, const std::wstring& value) {
    for (wchar_t c : key)
        if (c == L',' || IsLineBreak(c))
            return false;
    for (wchar_t c : value)
        if (IsLineBreak(c))
            return false;
    if (key.size() + 1 + value.size() + 2 > kMaxLineChars)
        return false;
    m_pairs[key] = value;
    m_ours.insert(key);
    return true;
}

bool Settings::SetInt(const std::wstring& key, int value) { return SetString(key, FormatInt(value)); }

bool Settings::SetDouble(const std::wstring& key, double value) {
    return SetString(key, FormatDouble(value));
}

bool Settings::Remove(const std::wstring& key) {
    m_ours.insert(key);
    return m_pairs.erase(key) > 0;
}

bool Settings::ParseInt(const std::wstring& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9')
        return false;
    // Accumulate as a negative number so INT_MIN fits; out-of-range values
    // stop at the nearest bound.
    long long acc = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (acc > -(1LL << 40))
            acc = acc * 10 - (text[i] - L'0');
    }
    if (!negative)
        acc = -acc;
    if (acc > INT_MAX)
        acc = INT_MAX;
    if (acc < INT_MIN)
        acc = INT_MIN;
    value = static_cast<int>(acc);
    return true;
}

bool Settings::ParseDouble(const std::wstring& text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    // Copy the plain ASCII number that starts here; from_chars does the rest
    // and ignores the locale's decimal point.
    std::string ascii;
    for (; i < text.size() && ascii.size() < 400; ++i) {
        const wchar_t c = text[i];
        if ((c >= L'0' && c <= L'9') || c == L'.' || c == L'e' || c == L'E' || c == L'+' || c == L'-')
            ascii += static_cast<char>(c);
        else
            break;
    }
    std::string_view digits = ascii;
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits[0] == '+' || digits[0] == '-')
        return false;
    double parsed = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (result.ec != std::errc() || !std::isfinite(parsed))
        return false;
    value = negative ? -parsed : parsed;
    return true;
}

std::wstring Settings::FormatInt(int value) { return std::to_wstring(value); }

std::wstring Settings::FormatDouble(double value) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return L"0.000000";
    return std::wstring(buffer, result.ptr);
}

}  // namespace ZEP_Utility
