// Tests of lintaro-cli's tab-separated table output.
#include "cli/cli_output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace lintaro {
namespace {

TEST(CliOutputTest, WritesEveryRowWithEscapes) {
    ResultTable table;
    table.SetCell(0, 1, "h\\d");
    table.SetCell(1, 2, "a\tb\r\nc");
    table.SetCell(4, 4, "中");
    std::ostringstream out;
    WriteTableTsv(table, out);
    EXPECT_EQ(out.str(),
              "\th\\\\d\t\t\t\n"
              "\t\ta\\tb\\r\\nc\t\t\n"
              "\t\t\t\t\n"
              "\t\t\t\t\n"
              "\t\t\t\t中\n");
}

}  // namespace
}  // namespace lintaro
