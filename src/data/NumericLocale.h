// Number conversions of the tables always use the "C" conventions (a point
// before the decimals), whatever locale the rest of the program selects for
// dates and measurements: the filters and the stored texts are written that way.
#pragma once

#include <locale.h>

namespace OBData {

class ScopedCNumericLocale {
public:
    ScopedCNumericLocale();
    ~ScopedCNumericLocale();
    ScopedCNumericLocale(const ScopedCNumericLocale&) = delete;
    ScopedCNumericLocale& operator=(const ScopedCNumericLocale&) = delete;

private:
    locale_t m_previous = nullptr;
};

}  // namespace OBData
