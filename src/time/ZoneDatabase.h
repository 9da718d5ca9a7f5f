// The system's tz database (Debian's tzdata, /usr/share/zoneinfo, or the
// folder TZDIR names), read through cctz. A zone is loaded once, on first
// use, and kept; a zone that is missing, not a regular file, oversized or
// unreadable is not loaded, and its callers keep their built-in rules.
// Instants are seconds since 1970-01-01 UTC; offsets are seconds east of UTC.
// Single-threaded, like the rest of the program.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace OBData {

// One clock change: the instant and the offsets in force before and after.
struct ClockChange {
    std::int64_t instant = 0;
    int offsetBefore = 0;
    int offsetAfter = 0;
};

class DatabaseZone {
public:
    // Null when the zone cannot be had from the database.
    static std::unique_ptr<DatabaseZone> Load(const std::string& name);
    ~DatabaseZone();
    DatabaseZone(const DatabaseZone&) = delete;
    DatabaseZone& operator=(const DatabaseZone&) = delete;

    const std::string& GetName() const { return m_name; }
    // Before the zone's first change to a clock of whole minutes, the clock
    // keeps that offset (its first standard time, rather than local mean time).
    int OffsetAt(std::int64_t instant) const;
    // Summer time: the clock is ahead of the zone's winter clock. A zone that
    // the database writes with "negative summer time" (Dublin's winter) keeps
    // summer time in summer; a step back of a few weeks (Morocco in Ramadan)
    // is no winter, so the clock around it is standard time.
    bool IsSummerTimeAt(std::int64_t instant) const;
    // The offset of the winter clock at the instant.
    int StandardOffsetAt(std::int64_t instant) const;
    // The instant at which the clock reads the local time (seconds since
    // 1970-01-01 on that clock): a repeated time gives the earlier instant, a
    // skipped one moves on by the gap.
    std::int64_t ToInstant(std::int64_t localSeconds) const;
    // The first change of offset after `after`, up to and including `until`.
    std::optional<ClockChange> NextChange(std::int64_t after, std::int64_t until) const;

private:
    struct Impl;
    explicit DatabaseZone(std::string name, std::unique_ptr<Impl> impl);
    std::string m_name;
    std::unique_ptr<Impl> m_impl;
};

// Where the database is read from and its version ("2026f"); the version is
// empty when the folder has no tzdata.zi or +VERSION.
std::string GetZoneDatabaseFolder();
std::string GetZoneDatabaseVersion();
// "tz database 2026f (/usr/share/zoneinfo)", or "built-in rules" when the
// folder holds no zone the program can read.
std::wstring DescribeZoneDatabase();

}  // namespace OBData
