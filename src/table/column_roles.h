// Which table columns give the link and the text of each exported link row.
#pragma once

#include <string>

namespace lintaro {

// The two column roles chosen by clicks on the table's fixed cells. Values are zero-based
// column indexes and are kept as reported, even when a later table has fewer columns.
class ColumnRoles {
  public:
    int LinkColumn() const { return link_column_; }
    int TextColumn() const { return text_column_; }
    // A single click on a fixed cell; the row is not used.
    void ChooseTextColumn(int row, int column);
    // A double click on a fixed cell; the row is not used.
    void ChooseLinkColumn(int row, int column);
    // The line the column-role label shows.
    std::string Line() const;

  private:
    int link_column_ = 0;
    int text_column_ = 0;
};

}  // namespace lintaro
