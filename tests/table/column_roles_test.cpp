// Tests of the column roles and the line that shows them.
#include "table/column_roles.h"

#include <gtest/gtest.h>

#include <vector>

namespace lintaro {
namespace {

TEST(ColumnRoles, LineShowsBothColumns) {
    struct Click {
        bool is_double;
        int column;
    };
    const struct {
        const char* name;
        std::vector<Click> clicks;
        const char* line;
    } cases[] = {
        {"at start", {}, "(双击表头)定义链接：第 0 列    (单击表头)定义文本：第 0 列"},
        {"text 2", {{false, 2}}, "(双击表头)定义链接：第 0 列    (单击表头)定义文本：第 2 列"},
        // A double click reports its click first, then the double click.
        {"link 3",
         {{false, 3}, {true, 3}},
         "(双击表头)定义链接：第 3 列    (单击表头)定义文本：第 3 列"},
        {"link 1 then text 2",
         {{false, 1}, {true, 1}, {false, 2}},
         "(双击表头)定义链接：第 1 列    (单击表头)定义文本：第 2 列"},
        {"column 12", {{false, 12}}, "(双击表头)定义链接：第 0 列    (单击表头)定义文本：第 12 列"},
    };
    for (const auto& c : cases) {
        ColumnRoles roles;
        for (const Click& click : c.clicks) {
            if (click.is_double) {
                roles.ChooseLinkColumn(0, click.column);
            } else {
                roles.ChooseTextColumn(0, click.column);
            }
        }
        EXPECT_EQ(roles.Line(), c.line) << c.name;
    }
}

TEST(ColumnRoles, RowIsNotUsed) {
    ColumnRoles roles;
    roles.ChooseLinkColumn(7, 2);
    roles.ChooseTextColumn(4, 0);  // a number cell
    EXPECT_EQ(roles.LinkColumn(), 2);
    EXPECT_EQ(roles.TextColumn(), 0);
}

}  // namespace
}  // namespace lintaro
