#pragma once

#include <clocale>
#include <string>

namespace oskel::test {

// The C library's locale set to `name` (as the desktop program's toolkit
// sets the user's at start-up) for its lifetime. ok() is false when the
// locale is not installed here (scripts/setup.sh generates de_DE.UTF-8 and
// tr_TR.UTF-8).
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : m_old(std::setlocale(LC_ALL, nullptr))
    {
        m_ok = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

// The languages whose rules differ from English where it matters here: a
// decimal comma (both) and a dotless lower-case I (Turkish).
inline constexpr const char* kOtherLocales[] = {"de_DE.UTF-8", "tr_TR.UTF-8"};

} // namespace oskel::test
