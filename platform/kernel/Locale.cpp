#include "platform/kernel/Locale.h"

#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "platform/kernel/WideText.h"

namespace ob::kernel {
namespace {

// Locale texts come in the LC_TIME locale's own character set; an 8-bit
// locale ("de_DE.ISO-8859-1") is converted so that its names read right.
std::wstring LangInfo(nl_item item) {
    const char* text = nl_langinfo(item);
    if (!text)
        return std::wstring();
    const char* codeset = nl_langinfo(_NL_TIME_CODESET);
    if (!codeset || !*codeset || std::strcmp(codeset, "UTF-8") == 0 ||
        std::strcmp(codeset, "ANSI_X3.4-1968") == 0)
        return FromUtf8(text);
    iconv_t cd = iconv_open("UTF-8", codeset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return FromUtf8(text);
    std::string in(text);
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        return FromUtf8(text);
    out.resize(out.size() - outLeft);
    return FromUtf8(out);
}

std::wstring Number(int value, int width) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%0*d", width, value);
    return buffer;
}

// Month name for a picture: locales with a genitive month form (used next to
// a day number) and a standalone form pick the one the picture needs.
std::wstring MonthName(int month, bool full, bool withDay) {
    const int index = month - 1;
#ifdef ALTMON_1
    if (!withDay)
        return LangInfo(static_cast<nl_item>((full ? ALTMON_1 : _NL_ABALTMON_1) + index));
#endif
    (void)withDay;
    return LangInfo(static_cast<nl_item>((full ? MON_1 : ABMON_1) + index));
}

enum class Kind { Date, Time };

bool IsPictureLetter(wchar_t c, Kind kind) {
    if (kind == Kind::Date)
        return c == L'd' || c == L'M' || c == L'y';
    return c == L'h' || c == L'H' || c == L'm' || c == L's' || c == L't';
}

bool HasDayNumber(const std::wstring& picture) {
    bool quoted = false;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] == L'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || picture[i] != L'd')
            continue;
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == L'd')
            ++run;
        if (run <= 2)
            return true;
        i += run - 1;
    }
    return false;
}

std::wstring Expand(const CalendarFields& f, wchar_t letter, size_t run, bool withDay) {
    const int hour12 = f.hour % 12 == 0 ? 12 : f.hour % 12;
    switch (letter) {
    case L'd':
        if (run <= 2)
            return Number(f.day, static_cast<int>(run));
        return LangInfo(static_cast<nl_item>((run == 3 ? ABDAY_1 : DAY_1) + f.dayOfWeek));
    case L'M':
        if (run <= 2)
            return Number(f.month, static_cast<int>(run));
        return MonthName(f.month, run > 3, withDay);
    case L'y':
        if (run == 1)
            return Number(f.year % 100, 1);
        if (run == 2)
            return Number(f.year % 100, 2);
        return Number(f.year, 1);
    case L'h': return Number(hour12, run >= 2 ? 2 : 1);
    case L'H': return Number(f.hour, run >= 2 ? 2 : 1);
    case L'm': return Number(f.minute, run >= 2 ? 2 : 1);
    case L's': return Number(f.second, run >= 2 ? 2 : 1);
    case L't': {
        std::wstring designator = LangInfo(f.hour < 12 ? AM_STR : PM_STR);
        if (designator.empty())
            designator = f.hour < 12 ? L"AM" : L"PM";
        return run == 1 ? designator.substr(0, 1) : designator;
    }
    }
    return std::wstring();
}

void FormatPicture(const CalendarFields& f, const std::wstring& picture, Kind kind, std::wstring& out) {
    out.clear();
    const bool withDay = HasDayNumber(picture);
    size_t i = 0;
    while (i < picture.size()) {
        const wchar_t c = picture[i];
        if (c == L'\'') {
            // Quoted text; a doubled quote stands for one apostrophe.
            ++i;
            while (i < picture.size()) {
                if (picture[i] == L'\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == L'\'') {
                        out += L'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        if (!IsPictureLetter(c, kind)) {
            out += c;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        out += Expand(f, c, run, withDay);
        i += run;
    }
}

bool ValidDate(const CalendarFields& f) {
    Ticks ignored = 0;
    CalendarFields check = f;
    check.hour = check.minute = check.second = check.milliseconds = 0;
    return CalendarToTicks(check, ignored) && f.dayOfWeek <= 6;
}

bool ValidTime(const CalendarFields& f) {
    return f.hour <= 23 && f.minute <= 59 && f.second <= 59 && f.milliseconds <= 999;
}

void AppendQuoted(std::wstring& out, const std::wstring& literal) {
    if (literal.empty())
        return;
    bool needsQuotes = false;
    for (wchar_t c : literal)
        if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'\'' || c > 0x7F)
            needsQuotes = true;
    if (!needsQuotes) {
        out += literal;
        return;
    }
    out += L'\'';
    for (wchar_t c : literal) {
        if (c == L'\'')
            out += L"''";
        else
            out += c;
    }
    out += L'\'';
}

}  // namespace

bool FormatDatePicture(const CalendarFields& fields, const std::wstring& picture, std::wstring& out) {
    if (!ValidDate(fields))
        return false;
    FormatPicture(fields, picture, Kind::Date, out);
    return true;
}

bool FormatTimePicture(const CalendarFields& fields, const std::wstring& picture, std::wstring& out) {
    if (!ValidTime(fields))
        return false;
    FormatPicture(fields, picture, Kind::Time, out);
    return true;
}

std::wstring PictureFromStrftime(const std::string& format) {
    std::wstring out;
    std::string literal;
    auto flush = [&] {
        AppendQuoted(out, FromUtf8(literal));
        literal.clear();
    };
    auto emit = [&](const wchar_t* picture) {
        flush();
        out += picture;
    };
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            literal += format[i];
            continue;
        }
        ++i;
        // glibc flags and the E/O modifiers change padding or numerals only.
        while (i < format.size() &&
               (format[i] == '-' || format[i] == '_' || format[i] == '0' || format[i] == '^' ||
                format[i] == '#' || format[i] == 'E' || format[i] == 'O'))
            ++i;
        if (i == format.size())
            break;
        const bool unpadded = format[i - 1] == '-';
        switch (format[i]) {
        case 'd': emit(unpadded ? L"d" : L"dd"); break;
        case 'e': emit(L"d"); break;
        case 'm': emit(unpadded ? L"M" : L"MM"); break;
        case 'y': emit(L"yy"); break;
        case 'Y':
        case 'G': emit(L"yyyy"); break;
        case 'b':
        case 'h': emit(L"MMM"); break;
        case 'B': emit(L"MMMM"); break;
        case 'a': emit(L"ddd"); break;
        case 'A': emit(L"dddd"); break;
        case 'H': emit(unpadded ? L"H" : L"HH"); break;
        case 'k': emit(L"H"); break;
        case 'I': emit(unpadded ? L"h" : L"hh"); break;
        case 'l': emit(L"h"); break;
        case 'M': emit(L"mm"); break;
        case 'S': emit(L"ss"); break;
        case 'p':
        case 'P': emit(L"tt"); break;
        case 'D': emit(L"MM/dd/yy"); break;
        case 'F': emit(L"yyyy-MM-dd"); break;
        case 'T': emit(L"HH:mm:ss"); break;
        case 'R': emit(L"HH:mm"); break;
        case 'r':
            flush();
            out += PictureFromStrftime(nl_langinfo(T_FMT_AMPM));
            break;
        case 'n': literal += '\n'; break;
        case 't': literal += '\t'; break;
        case '%': literal += '%'; break;
        default: break;  // zone names, week numbers and the like have no picture
        }
    }
    flush();
    return out;
}

std::wstring LocaleShortDatePicture() { return PictureFromStrftime(nl_langinfo(D_FMT)); }

std::wstring LocaleLongDatePicture() {
    // The locale has no long date format of its own; order the long form like
    // its short date: month first, day first or year first.
    const std::string shortFormat = nl_langinfo(D_FMT);
    const std::wstring picture = PictureFromStrftime(shortFormat);
    const auto day = picture.find(L'd');
    const auto month = picture.find(L'M');
    const auto year = picture.find(L'y');
    if (year != std::wstring::npos && (day == std::wstring::npos || year < day) &&
        (month == std::wstring::npos || year < month))
        return L"dddd, yyyy MMMM d";
    if (month != std::wstring::npos && day != std::wstring::npos && month < day)
        return L"dddd, MMMM d, yyyy";
    return L"dddd, d MMMM yyyy";
}

std::wstring LocaleTimePicture() {
    std::string format = nl_langinfo(T_FMT);
    if (format.empty())
        format = nl_langinfo(T_FMT_AMPM);
    return PictureFromStrftime(format);
}

bool LocaleUsesTwelveHourClock() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    if (!name || std::strcmp(name, "C") == 0 || std::strncmp(name, "C.", 2) == 0 ||
        std::strcmp(name, "POSIX") == 0)
        return true;
    const std::wstring picture = LocaleTimePicture();
    bool quoted = false;
    for (wchar_t c : picture) {
        if (c == L'\'')
            quoted = !quoted;
        else if (!quoted && (c == L't' || c == L'h'))
            return true;
    }
    return false;
}

std::wstring LocaleAmDesignator() { return LangInfo(AM_STR); }

std::wstring LocalePmDesignator() { return LangInfo(PM_STR); }

MeasurementSystem LocaleMeasurementSystem() {
    // glibc's LC_MEASUREMENT: 1 = metric, 2 = US customary.
    const char* value = nl_langinfo(_NL_MEASUREMENT_MEASUREMENT);
    return value && value[0] == 2 ? MeasurementSystem::US : MeasurementSystem::Metric;
}

}  // namespace ob::kernel
