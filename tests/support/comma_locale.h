#pragma once
// A locale with a decimal comma for the calling thread only, for tests that check texts do
// not follow the user's locale. `active()` is false when no such locale is installed
// (scripts/setup generates de_DE.UTF-8); the thread's locale is restored on destruction.
#include <clocale>
#include <cstdio>
#include <locale.h>
#include <string>

namespace kvtest {

class CommaLocale {
 public:
  CommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
      if ((locale_ = newlocale(LC_ALL_MASK, name, locale_t(0)))) break;
    }
    if (locale_) previous_ = uselocale(locale_);
  }
  ~CommaLocale() { restore(); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool active() const { return locale_ != locale_t(0); }
  // True when printf in this thread writes a decimal comma now.
  static bool printsComma() {
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 5.6);
    return std::string(probe) == "5,6";
  }
  void restore() {
    if (!locale_) return;
    uselocale(previous_);
    freelocale(locale_);
    locale_ = locale_t(0);
  }

 private:
  locale_t locale_ = locale_t(0);
  locale_t previous_ = locale_t(0);
};

}  // namespace kvtest
