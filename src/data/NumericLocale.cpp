#include "data/NumericLocale.h"

namespace OBData {

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

ScopedCNumericLocale::ScopedCNumericLocale() {
    // Without a "C" locale object the conversions run in whatever is current.
    if (CLocale() != static_cast<locale_t>(nullptr))
        m_previous = uselocale(CLocale());
}

ScopedCNumericLocale::~ScopedCNumericLocale() {
    if (m_previous != static_cast<locale_t>(nullptr))
        uselocale(m_previous);
}

}  // namespace OBData
