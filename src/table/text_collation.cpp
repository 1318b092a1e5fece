// The C library's collation of the locale's LC_COLLATE.
#include "table/text_collation.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>
#include <string_view>
#include <utility>

namespace lintaro {

namespace {

// The user's collation locale, whatever the program set with setlocale, or null.
class CollationLocale {
  public:
    CollationLocale() : locale_(newlocale(LC_COLLATE_MASK, "", nullptr)) {}
    CollationLocale(const CollationLocale&) = delete;
    CollationLocale& operator=(const CollationLocale&) = delete;
    ~CollationLocale() {
        if (locale_ != nullptr) freelocale(locale_);
    }
    locale_t get() const { return locale_; }

  private:
    locale_t locale_;
};

// Whether locale collates texts as their bytes: the C locale under its names, and C.UTF-8,
// whose collation is the code points' order, which UTF-8's bytes keep. Without a usable
// locale, "C".
bool CollatesBytes(locale_t locale) {
    if (locale == nullptr) return true;
    const std::string_view name = nl_langinfo_l(_NL_LOCALE_NAME(LC_COLLATE), locale);
    return name == "C" || name == "POSIX" || name == "C.UTF-8" || name == "C.utf8";
}

}  // namespace

void CLibraryCollation::Prepare(std::span<const std::string_view> texts) {
    copies_.clear();
    copy_at_.assign(1, 0);
    keys_.clear();
    const CollationLocale locale;
    by_bytes_ = CollatesBytes(locale.get());
    if (by_bytes_) {
        // Room for all at once: growing would copy, and each new stretch of memory costs the
        // kernel's clearing of its pages.
        std::size_t bytes = 0;
        for (const std::string_view cell : texts) bytes += cell.size();
        copies_.reserve(bytes);
        copy_at_.reserve(texts.size() + 1);
        // strxfrm reads up to a NUL: a cell holding one is collated up to it.
        for (const std::string_view cell : texts) {
            copies_.append(cell.substr(0, cell.find('\0')));
            copy_at_.push_back(copies_.size());
        }
        return;
    }
    keys_.reserve(texts.size());
    std::string text;
    for (const std::string_view cell : texts) {
        // strxfrm reads up to a NUL: a cell holding one is collated up to it.
        text.assign(cell);
        const std::size_t needed = strxfrm_l(nullptr, text.c_str(), 0, locale.get());
        std::string key(needed + 1, '\0');
        strxfrm_l(key.data(), text.c_str(), key.size(), locale.get());
        key.resize(needed);
        keys_.push_back(std::move(key));
    }
}

bool CLibraryCollation::Less(std::size_t a, std::size_t b) const {
    if (!by_bytes_) return keys_[a] < keys_[b];
    const std::string_view copies = copies_;
    return copies.substr(copy_at_[a], copy_at_[a + 1] - copy_at_[a]) <
           copies.substr(copy_at_[b], copy_at_[b + 1] - copy_at_[b]);
}

}  // namespace lintaro
