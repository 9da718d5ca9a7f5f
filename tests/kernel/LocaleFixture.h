// Switches the process locale for one test and back to "C" afterwards,
// generating the locale with localedef first when it is not installed.
#pragma once

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace ob::test {

inline bool LocaleAvailable(const std::string& name) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool ok = std::setlocale(LC_ALL, name.c_str()) != nullptr;
    std::setlocale(LC_ALL, saved.c_str());
    return ok;
}

// "de_DE.UTF-8" -> localedef -i de_DE -f UTF-8 de_DE.UTF-8 when `locale -a`
// lacks it (needs root and the locales package; quietly fails otherwise).
// The check runs in a child process: the C library remembers a locale it
// failed to load, so this process must not try the name before it exists.
inline bool EnsureLocale(const std::string& name) {
    const auto dot = name.find('.');
    if (dot == std::string::npos)
        return LocaleAvailable(name);
    std::string normalized = name.substr(0, dot + 1);  // "de_DE." + "utf8"
    for (char c : name.substr(dot + 1))
        if (std::isalnum(static_cast<unsigned char>(c)))
            normalized += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string command = "locale -a 2>/dev/null | grep -qxF '" + normalized + "' || localedef -i " +
                                name.substr(0, dot) + " -f " + name.substr(dot + 1) + " " + name +
                                " >/dev/null 2>&1";
    // localedef exits non-zero on mere warnings, so judge by the result.
    [[maybe_unused]] const int rc = std::system(command.c_str());
    return LocaleAvailable(name);
}

class ScopedLocale {
public:
    explicit ScopedLocale(const std::string& name) { m_ok = std::setlocale(LC_ALL, name.c_str()) != nullptr; }
    ~ScopedLocale() { std::setlocale(LC_ALL, "C"); }
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

}  // namespace ob::test

// Skips the test cleanly when the locale cannot be had on this machine.
#define OB_USE_LOCALE(guard, name)                                  \
    if (!ob::test::EnsureLocale(name))                              \
        GTEST_SKIP() << "locale " << (name) << " is not available"; \
    ob::test::ScopedLocale guard(name);                             \
    ASSERT_TRUE(guard.ok())
