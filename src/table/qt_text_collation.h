// The sort operation's order in the window: QCollator's, for the user's locale.
#pragma once

#include <QCollator>
#include <QCollatorSortKey>

#include <vector>

#include "table/text_collation.h"

namespace lintaro {

class QtTextCollation : public TextCollation {
  public:
    void Prepare(std::span<const std::string_view> texts) override;
    bool Less(std::size_t a, std::size_t b) const override;

  private:
    QCollator collator_;
    std::vector<QCollatorSortKey> keys_;
};

}  // namespace lintaro
