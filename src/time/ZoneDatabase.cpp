#include "time/ZoneDatabase.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctz/civil_time.h>
#include <cctz/time_zone.h>
#include <chrono>
#include <cstdlib>
#include <fstream>

namespace OBData {

namespace {

using Seconds = cctz::time_point<cctz::seconds>;

Seconds ToPoint(std::int64_t instant) { return Seconds(cctz::seconds(instant)); }
std::int64_t FromPoint(const Seconds& point) { return point.time_since_epoch().count(); }

// A TZif file is a few kilobytes; anything far larger is not one.
constexpr off_t kLargestZoneFile = 1 << 20;
// A step back shorter than this is no winter (Morocco's weeks of Ramadan).
constexpr std::int64_t kShortestWinter = 60LL * 86400;
constexpr std::int64_t kYear = 366LL * 86400;

bool IsReadableZoneFile(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find("..") != std::string::npos)
        return false;
    // A FIFO or a device under a zone's name would block or never end.
    struct stat info {};
    const std::string path = GetZoneDatabaseFolder() + "/" + name;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
           info.st_size <= kLargestZoneFile;
}

}  // namespace

struct DatabaseZone::Impl {
    cctz::time_zone zone;
    bool hasFirstChange = false;
    std::int64_t firstChange = 0;
    int firstOffset = 0;

    struct Reading {
        int offset;
        bool dst;
    };
    Reading Read(std::int64_t instant) const {
        const auto found = zone.lookup(ToPoint(instant));
        return {found.offset, found.is_dst};
    }
    // The latest change strictly before `bound`.
    bool Previous(std::int64_t bound, std::int64_t& instant) const {
        cctz::time_zone::civil_transition change;
        if (!zone.prev_transition(ToPoint(bound), &change))
            return false;
        instant = FromPoint(zone.lookup(change.to).trans);
        return instant < bound;
    }
    bool Next(std::int64_t after, std::int64_t& instant) const {
        cctz::time_zone::civil_transition change;
        if (!zone.next_transition(ToPoint(after), &change))
            return false;
        instant = FromPoint(zone.lookup(change.to).trans);
        return instant > after;
    }

    struct Clock {
        int offset;
        bool summer;
        int winterOffset;
    };
    Clock Classify(std::int64_t instant) const {
        if (hasFirstChange && instant < firstChange)
            return {firstOffset, false, firstOffset};
        const Reading now = Read(instant);
        std::int64_t began = 0;
        if (!Previous(instant + 1, began))
            return {now.offset, false, now.offset};
        const Reading before = Read(began - 1);
        if (now.dst) {
            // Walk back to the standard time this run of summer time began from.
            std::int64_t bound = began;
            Reading standard = before;
            for (int step = 0; standard.dst && step < 8 && Previous(bound, bound); ++step)
                standard = Read(bound - 1);
            // ... and forward to the standard time it ends in: a zone may move
            // its standard time during summer time (Portugal in 1996).
            std::int64_t ahead = instant;
            Reading after = now;
            for (int step = 0; after.dst && step < 8 && Next(ahead, ahead); ++step)
                after = Read(ahead);
            if (standard.dst)
                standard = after;
            if (after.dst)
                after = standard;
            if (standard.dst)
                return {now.offset, false, now.offset};
            const int winter = std::min(standard.offset, after.offset);
            if (now.offset > winter)
                return {now.offset, true, winter};
            // Negative summer time: a long one is the winter clock itself
            // (Dublin); a short step back leaves standard time as it was.
            std::int64_t ends = 0;
            const bool isWinter = !Next(instant, ends) || ends - began >= kShortestWinter;
            return {now.offset, false, isWinter ? now.offset : standard.offset};
        }
        // The summer of a zone whose winter is written as negative summer time:
        // a long winter before, and the clock going back again within a year
        // (Namibia, which kept its summer clock for good in 2017, is on
        // standard time since).
        std::int64_t winterBegan = 0, ends = 0;
        if (before.dst && before.offset < now.offset &&
            (!Previous(began, winterBegan) || began - winterBegan >= kShortestWinter) &&
            Next(instant, ends) && ends - instant <= kYear && Read(ends).offset < now.offset)
            return {now.offset, true, before.offset};
        return {now.offset, false, now.offset};
    }
};

DatabaseZone::DatabaseZone(std::string name, std::unique_ptr<Impl> impl)
    : m_name(std::move(name)), m_impl(std::move(impl)) {}

DatabaseZone::~DatabaseZone() = default;

std::unique_ptr<DatabaseZone> DatabaseZone::Load(const std::string& name) {
    if (!IsReadableZoneFile(name))
        return nullptr;
    auto impl = std::make_unique<Impl>();
    if (!cctz::load_time_zone(name, &impl->zone))
        return nullptr;
    // The first change to a clock of whole minutes: local mean times
    // (Apia's -11:26:56 until 1911) are not clocks anyone kept.
    cctz::time_zone::civil_transition change;
    Seconds at = Seconds::min();
    for (int step = 0; step < 32 && impl->zone.next_transition(at, &change); ++step) {
        at = impl->zone.lookup(change.to).trans;
        const int offset = impl->Read(FromPoint(at)).offset;
        if (offset % 60 == 0) {
            impl->hasFirstChange = true;
            impl->firstChange = FromPoint(at);
            impl->firstOffset = offset;
            break;
        }
    }
    return std::unique_ptr<DatabaseZone>(new DatabaseZone(name, std::move(impl)));
}

int DatabaseZone::OffsetAt(std::int64_t instant) const {
    if (m_impl->hasFirstChange && instant < m_impl->firstChange)
        return m_impl->firstOffset;
    return m_impl->Read(instant).offset;
}

bool DatabaseZone::IsSummerTimeAt(std::int64_t instant) const { return m_impl->Classify(instant).summer; }

int DatabaseZone::StandardOffsetAt(std::int64_t instant) const {
    return m_impl->Classify(instant).winterOffset;
}

std::int64_t DatabaseZone::ToInstant(std::int64_t localSeconds) const {
    if (m_impl->hasFirstChange) {
        const std::int64_t early = localSeconds - m_impl->firstOffset;
        if (early < m_impl->firstChange)
            return early;
    }
    const cctz::civil_second local = cctz::civil_second(1970, 1, 1, 0, 0, 0) + localSeconds;
    // The earlier reading of a repeated time; past a skipped one by the gap.
    return FromPoint(m_impl->zone.lookup(local).pre);
}

std::optional<ClockChange> DatabaseZone::NextChange(std::int64_t after, std::int64_t until) const {
    std::int64_t at = after;
    // Changes of name or flag alone move no clock: step over them.
    for (int step = 0; step < 64 && m_impl->Next(at, at) && at <= until; ++step) {
        const int before = OffsetAt(at - 1);
        const int now = OffsetAt(at);
        if (before != now)
            return ClockChange{at, before, now};
    }
    return std::nullopt;
}

std::string GetZoneDatabaseFolder() {
    const char* folder = std::getenv("TZDIR");
    return folder && *folder ? std::string(folder) : std::string("/usr/share/zoneinfo");
}

std::string GetZoneDatabaseVersion() {
    const std::string folder = GetZoneDatabaseFolder();
    std::string line;
    // tzdata.zi opens with "# version 2026f"; older trees keep +VERSION.
    if (std::ifstream zi(folder + "/tzdata.zi");
        zi && std::getline(zi, line) && line.starts_with("# version "))
        return line.substr(10);
    if (std::ifstream version(folder + "/+VERSION"); version && std::getline(version, line))
        return line.substr(0, line.find_first_of(" \r\n"));
    return std::string();
}

std::wstring DescribeZoneDatabase() {
    const bool usable = DatabaseZone::Load("Etc/UTC") != nullptr;
    if (!usable)
        return L"built-in rules";
    const std::string folder = GetZoneDatabaseFolder();
    const std::string version = GetZoneDatabaseVersion();
    std::wstring text = L"tz database ";
    text +=
        version.empty() ? std::wstring(L"(version unknown)") : std::wstring(version.begin(), version.end());
    text += L" (" + std::wstring(folder.begin(), folder.end()) + L")";
    return text;
}

}  // namespace OBData
