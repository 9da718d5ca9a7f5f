#include "time/TimeSpan.h"

#include <limits>

namespace ZEP_Utility {

TimeSpan::TimeSpan(int days, int hours, int minutes, int seconds)
    : TimeSpan(FromSeconds(seconds + 60LL * minutes + 3600LL * hours + 86400LL * days)) {}

TimeSpan TimeSpan::FromSeconds(std::int64_t seconds) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return TimeSpan(Raw{}, static_cast<std::int32_t>(seconds < lo ? lo : seconds > hi ? hi : seconds));
}

int TimeSpan::GetHours() const { return m_seconds / 3600 - (m_seconds / 86400) * 24; }

int TimeSpan::GetMinutes() const { return m_seconds / 60 - (m_seconds / 3600) * 60; }

TimeSpan TimeSpan::operator-(const TimeSpan& other) const {
    return FromSeconds(static_cast<std::int64_t>(m_seconds) - other.m_seconds);
}

TimeSpan TimeSpan::operator+(const TimeSpan& other) const {
    return FromSeconds(static_cast<std::int64_t>(m_seconds) + other.m_seconds);
}

TimeSpan TimeSpan::operator-() const { return FromSeconds(-static_cast<std::int64_t>(m_seconds)); }

}  // namespace ZEP_Utility
