// Column roles and the line that shows them.
#include "table/column_roles.h"

namespace lintaro {

void ColumnRoles::ChooseTextColumn(int /*row*/, int column) {
    text_column_ = column;
}

void ColumnRoles::ChooseLinkColumn(int /*row*/, int column) {
    link_column_ = column;
}

std::string ColumnRoles::Line() const {
    return "(双击表头)定义链接：第 " + std::to_string(link_column_) +
           " 列    (单击表头)定义文本：第 " + std::to_string(text_column_) + " 列";
}

}  // namespace lintaro
