// A signed duration in whole seconds (32 bits: about +-68 years).
#pragma once

#include <cstdint>

namespace ZEP_Utility {

class TimeSpan {
public:
    // seconds + 60 * minutes + 3600 * hours + 86400 * days, saturated to 32 bits.
    TimeSpan(int days = 0, int hours = 0, int minutes = 0, int seconds = 0);
    static TimeSpan FromSeconds(std::int64_t seconds);

    std::int32_t GetTotalSeconds() const { return m_seconds; }
    // Whole hours within a day (-23..23) and whole minutes within an hour
    // (-59..59), both carrying the sign of the span.
    int GetHours() const;
    int GetMinutes() const;

    TimeSpan operator-(const TimeSpan& other) const;
    TimeSpan operator+(const TimeSpan& other) const;
    TimeSpan operator-() const;
    static bool IsGreater(const TimeSpan& a, const TimeSpan& b) { return a.m_seconds > b.m_seconds; }

    bool operator==(const TimeSpan& other) const { return m_seconds == other.m_seconds; }
    bool operator!=(const TimeSpan& other) const { return m_seconds != other.m_seconds; }
    bool operator<(const TimeSpan& other) const { return m_seconds < other.m_seconds; }
    bool operator>(const TimeSpan& other) const { return m_seconds > other.m_seconds; }

private:
    struct Raw {};
    TimeSpan(Raw, std::int32_t seconds) : m_seconds(seconds) {}

    std::int32_t m_seconds = 0;
};

}  // namespace ZEP_Utility
