// Switches the process to a locale with a decimal comma while it lives, as a
// host may do, and back to "C" afterwards. ok() tells whether one was found;
// scripts/setup.sh generates de_DE.UTF-8 so that one always is.
#pragma once

#include <clocale>
#include <cstring>
#include <initializer_list>

namespace testing_support {

class CommaLocale {
public:
    CommaLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
            if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
                m_ok = true;
                return;
            }
        }
        std::setlocale(LC_ALL, "C");
    }
    ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};

}  // namespace testing_support
