// The C library's collation of the locale's LC_COLLATE.
#include "table/text_collation.h"

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

}  // namespace

void CLibraryCollation::Prepare(std::span<const std::string_view> texts) {
    keys_.clear();
    keys_.reserve(texts.size());
    const CollationLocale locale;
    std::string text;
    for (const std::string_view cell : texts) {
        // Without a usable locale, "C": bytes in order.
        if (locale.get() == nullptr) {
            keys_.emplace_back(cell);
            continue;
        }
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
    return keys_[a] < keys_[b];
}

}  // namespace lintaro
