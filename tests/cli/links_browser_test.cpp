// lintaro-cli --preset=links against Chromium: on each test page, group 1 of every row is the
// href of an anchor of the page's DOM (document.querySelectorAll('a[href]')), in order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/chromium_dom.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

const std::filesystem::path kPages = LINTARO_SOURCE_DIR "/tests/cli/link_pages";

// A page that loads the test page in a frame and writes the frame's hrefs, each
// percent-encoded after an "h" (so that an empty one shows) and parted by spaces, so that
// Chromium's --dump-dom shows them.
std::string HrefReader(const std::filesystem::path& page) {
    return R"(<!DOCTYPE html><html><body><pre id="hrefs"></pre><script>
const frame = document.createElement('iframe');
frame.addEventListener('load', () => {
  document.getElementById('hrefs').textContent =
      [...frame.contentDocument.querySelectorAll('a[href]')]
          .map(a => 'h' + encodeURIComponent(a.getAttribute('href'))).join(' ');
});
frame.src = ')" +
           ("file://" + page.string()) +
           R"(';
document.body.appendChild(frame);
</script></body></html>)";
}

std::string PercentDecoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

std::vector<std::string> ChromiumHrefs(const TempDir& dir, const std::filesystem::path& page) {
    const std::string reader = page.stem().string() + "-reader.html";
    dir.Write(reader, HrefReader(page));
    const ProgramOutcome outcome = DumpDom(dir, reader);
    const std::string open = "<pre id=\"hrefs\">";
    const std::size_t start = outcome.out.find(open);
    const std::size_t end = outcome.out.find("</pre>", start);
    EXPECT_NE(end, std::string::npos) << outcome.out << outcome.err;
    std::vector<std::string> hrefs;
    if (end == std::string::npos) return hrefs;
    std::istringstream words(outcome.out.substr(start + open.size(), end - start - open.size()));
    for (std::string word; words >> word;) hrefs.push_back(PercentDecoded(word.substr(1)));
    return hrefs;
}

// Group 1 of every row, with its character references decoded as the browser decodes them.
std::vector<std::string> LintaroHrefs(const std::filesystem::path& page) {
    const ProgramOutcome outcome = RunProgram({
        .program = LINTARO_BINARY_DIR "/lintaro-cli",
        .arguments = {"--preset=links", "--decode-entities=2", "--columns=2", "--no-header",
                      page.string()},
    });
    EXPECT_LE(outcome.status, 1) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    std::vector<std::string> hrefs;
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) {
        // The number, a tab and the cell, with tab, line breaks and backslash escaped. An href
        // without a value takes no part, an empty cell: the browser reads it as empty too.
        std::string href;
        for (std::size_t k = line.find('\t') + 1; k < line.size(); ++k) {
            if (line[k] != '\\' || k + 1 == line.size()) {
                href += line[k];
                continue;
            }
            const char escaped = line[++k];
            href += escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
        }
        hrefs.push_back(href);
    }
    return hrefs;
}

TEST(LinksBrowserTest, LinksPresetFindsTheAnchorsOfChromiumsDom) {
    if (!ChromiumInstalled()) GTEST_SKIP() << "chromium is not installed";
    TempDir dir;
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kPages)) {
        const std::vector<std::string> expected = ChromiumHrefs(dir, entry.path());
        EXPECT_FALSE(expected.empty()) << entry.path();
        EXPECT_EQ(LintaroHrefs(entry.path()), expected) << entry.path();
        ++pages;
    }
    EXPECT_GE(pages, 4);
}

}  // namespace
}  // namespace lintaro
