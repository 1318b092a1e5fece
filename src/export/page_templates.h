// The two HTML page templates that the styled export formats start with.
#pragma once

#include <string>

namespace lintaro {

// The head of both pages (style sheet included), the body and the write division, then
// "<h2>导出</h2><TEXT>": the link rows follow inside the TEXT element. Program text.
const std::string& LinksPageTemplate();

// The same head, body and write division, then an empty line; the table follows.
const std::string& TablePageTemplate();

}  // namespace lintaro
