// lintaro-cli --preset=links against Chromium: on each test page, group 1 of every row is the
// href of an anchor of the page's DOM (document.querySelectorAll('a[href]')), in order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {
namespace {

const std::filesystem::path kPages = LINTARO_SOURCE_DIR "/tests/cli/link_pages";

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

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
    const ProgramOutcome outcome = RunProgram({
        .program = "chromium",
        .arguments = {"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                      "--disable-background-networking", "--disable-component-update",
                      "--disable-sync", "--allow-file-access-from-files",
                      "--host-resolver-rules=MAP * ~NOTFOUND",
                      "--user-data-dir=" + dir.Slash() + "profile", "--dump-dom",
                      "file://" + dir.Slash() + reader},
        .time_limit = std::chrono::seconds(120),
    });
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

// The href as the browser reads it. The test pages hold no character reference in an href but
// "&amp;"; once lintaro-cli decodes them itself (--decode-entities=2), its cells are compared
// as they are.
std::string AsBrowserReadsIt(std::string href) {
    for (std::size_t at = href.find("&amp;"); at != std::string::npos;
         at = href.find("&amp;", at)) {
        href.replace(at, 5, "&");
        ++at;
    }
    return href;
}

// Group 1 of every row, taken from the page by the offsets --spans prints.
std::vector<std::string> LintaroHrefs(const std::filesystem::path& page) {
    const ProgramOutcome outcome = RunProgram({
        .program = LINTARO_BINARY_DIR "/lintaro-cli",
        .arguments = {"--preset=links", "--spans", page.string()},
    });
    EXPECT_LE(outcome.status, 1) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    const std::string text = ReadAll(page);
    std::vector<std::string> hrefs;
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string number;
        std::string whole;
        std::string group;
        fields >> number >> whole >> group;
        const std::size_t comma = group.find(',');
        // An href without a value takes no part: the browser reads it as empty.
        hrefs.push_back(comma == std::string::npos
                            ? std::string()
                            : AsBrowserReadsIt(text.substr(std::stoull(group.substr(0, comma)),
                                                           std::stoull(group.substr(comma + 1)))));
    }
    return hrefs;
}

TEST(LinksBrowserTest, LinksPresetFindsTheAnchorsOfChromiumsDom) {
    if (FindOnPath("chromium").empty()) GTEST_SKIP() << "chromium is not installed";
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
