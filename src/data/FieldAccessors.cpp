#include "data/FieldAccessors.h"

#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>

#include "data/NumericLocale.h"
#include "data/StaticText.h"
#include "platform/kernel/WideText.h"

namespace OBData {

namespace {

// Fields may be unaligned (a Float at an offset of 4), so copy them out.
template <typename T>
T Load(const unsigned char* field) {
    T value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

std::int32_t ClampToInt32(long value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

// ---- Int -------------------------------------------------------------------

void IntFieldAccessor::GetDouble(const void* record, double& out) const {
    out = Load<std::int32_t>(Field(record));
}

void IntFieldAccessor::GetString(const void* record, std::wstring& out) const {
    wchar_t buffer[32];
    ScopedCNumericLocale c;
    std::swprintf(buffer, 32, L"%ld", static_cast<long>(Load<std::int32_t>(Field(record))));
    out = buffer;
}

void IntFieldAccessor::GetInt(const void* record, std::int32_t& out) const {
    out = Load<std::int32_t>(Field(record));
}

std::int32_t IntFieldAccessor::Compare(const void* recordA, const void* recordB) const {
    // The difference of two 32-bit values can overflow 32 bits; only its sign
    // is wanted.
    const std::int64_t a = Load<std::int32_t>(Field(recordA));
    const std::int64_t b = Load<std::int32_t>(Field(recordB));
    return a < b ? -1 : (a > b ? 1 : 0);
}

// ---- String ----------------------------------------------------------------

const wchar_t* StringFieldAccessor::Text(const void* record) const {
    return ResolveText(Load<TextRef>(Field(record)));
}

void StringFieldAccessor::GetDouble(const void* record, double& out) const {
    out = 0.0;
    double value = 0.0;
    ScopedCNumericLocale c;
    if (std::swscanf(Text(record), L"%lf", &value) == 1)
        out = value;
}

void StringFieldAccessor::GetString(const void* record, std::wstring& out) const { out = Text(record); }

void StringFieldAccessor::GetInt(const void* record, std::int32_t& out) const {
    out = 0;
    long value = 0;
    ScopedCNumericLocale c;
    if (std::swscanf(Text(record), L"%ld", &value) == 1)
        out = ClampToInt32(value);
}

std::int32_t StringFieldAccessor::Compare(const void* recordA, const void* recordB) const {
    // Names sort as they read: case and accents do not count ("Zürich" sorts
    // with "Zurich", "Ürümqi" among the U's); only texts that differ in
    // nothing else fall back to their code units.
    const wchar_t* a = Text(recordA);
    const wchar_t* b = Text(recordB);
    for (const wchar_t *x = a, *y = b;; ++x, ++y) {
        const wchar_t fx = ob::kernel::FoldLetter(*x), fy = ob::kernel::FoldLetter(*y);
        if (fx != fy)
            return fx < fy ? -1 : 1;
        if (*x == L'\0')
            break;
    }
    const int c = std::wcscmp(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// ---- Float -----------------------------------------------------------------

void FloatFieldAccessor::GetDouble(const void* record, double& out) const {
    out = Load<double>(Field(record));
}

void FloatFieldAccessor::GetString(const void* record, std::wstring& out) const {
    // "%f" of the largest double needs over 300 digits.
    wchar_t buffer[400];
    ScopedCNumericLocale c;
    std::swprintf(buffer, 400, L"%f", Load<double>(Field(record)));
    out = buffer;
}

void FloatFieldAccessor::GetInt(const void* record, std::int32_t& out) const {
    // Truncates toward zero; out-of-range values and NaN would be undefined
    // in a plain conversion, so they are clamped (NaN reads as 0).
    const double value = std::trunc(Load<double>(Field(record)));
    if (std::isnan(value)) {
        out = 0;
    } else if (value >= 2147483647.0) {
        out = std::numeric_limits<std::int32_t>::max();
    } else if (value <= -2147483648.0) {
        out = std::numeric_limits<std::int32_t>::min();
    } else {
        out = static_cast<std::int32_t>(value);
    }
}

std::int32_t FloatFieldAccessor::Compare(const void* recordA, const void* recordB) const {
    const double a = Load<double>(Field(recordA));
    const double b = Load<double>(Field(recordB));
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    return 0;
}

}  // namespace OBData
