// The sort operation's order in the window: QCollator's, for the user's locale.
#include "table/qt_text_collation.h"

#include "table/qt_conversions.h"

namespace lintaro {

void QtTextCollation::Prepare(std::span<const std::string_view> texts) {
    keys_.clear();
    keys_.reserve(texts.size());
    for (const std::string_view text : texts) {
        keys_.push_back(collator_.sortKey(ProgramTextToQString(text)));
    }
}

bool QtTextCollation::Less(std::size_t a, std::size_t b) const {
    return keys_[a].compare(keys_[b]) < 0;
}

}  // namespace lintaro
