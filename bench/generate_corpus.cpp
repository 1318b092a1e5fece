// Writes a deterministic HTML corpus for benchmarks: lines of mixed-case anchors (absolute links
// that the preset pattern matches and relative ones it must skip), Chinese prose, long and short
// lines. Same size and seed, same bytes.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// splitmix64: tiny, fast and identical on every platform, unlike std:: distributions.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
    template <std::size_t N>
    std::string_view Pick(const std::string_view (&items)[N]) {
        return items[Below(N)];
    }

  private:
    std::uint64_t state_;
};

constexpr std::string_view kAnchorTags[] = {"a", "A"};
constexpr std::string_view kHrefWords[] = {"href", "HREF", "Href"};
constexpr std::string_view kSchemes[] = {"http://", "https://", "HTTPS://"};
constexpr std::string_view kHosts[] = {"www.example.com",  "news.example.org",
                                       "docs.qt.io",       "www.boost.org",
                                       "zh.wikipedia.org", "cdn.example.net:8080"};
constexpr std::string_view kPaths[] = {
    "", "/", "/index.html", "/a/b/c.php?id=", "/news/2026/", "/wiki/%E4%B8%AD%E6%96%87"};
constexpr std::string_view kRelative[] = {"/about.html", "../up/page.htm", "page2.html", "#top",
                                          "mailto:someone@example.com"};
constexpr std::string_view kTexts[] = {"首页",      "Home",          "新闻 News",
                                       "下一页",    "Download 下载", "关于我们",
                                       "Read more", "文档与教程",    ""};
constexpr std::string_view kAttributes[] = {"", " target=\"_blank\"", " class=\"nav\"",
                                            " title=\"链接\" rel=\"nofollow\""};
constexpr std::string_view kProse[] = {"这是一段用于测试的中文文本，", "包含常见的标点符号。",
                                       "Lorem ipsum dolor sit amet, ", "正则表达式匹配速度测试；",
                                       "<span>inline</span> ",         "<div class=\"x\">块</div>"};

void AppendAnchor(Random& random, std::string& out) {
    const std::string_view tag = random.Pick(kAnchorTags);
    out += '<';
    out += tag;
    out += ' ';
    out += random.Pick(kHrefWords);
    out += "=\"";
    // One anchor in eight carries a relative link, which the preset pattern must not match.
    if (random.Below(8) == 0) {
        out += random.Pick(kRelative);
    } else {
        out += random.Pick(kSchemes);
        out += random.Pick(kHosts);
        out += random.Pick(kPaths);
        if (random.Below(2) == 0) out += std::to_string(random.Below(100000));
    }
    out += '"';
    out += random.Pick(kAttributes);
    out += '>';
    out += random.Pick(kTexts);
    out += "</";
    out += tag;
    out += '>';
}

void AppendLine(Random& random, std::string& out) {
    switch (random.Below(10)) {
        case 0:  // a long line: many anchors with prose between them
            for (std::size_t i = 0, n = 20 + random.Below(60); i < n; ++i) {
                AppendAnchor(random, out);
                if (random.Below(4) == 0) out += random.Pick(kProse);
            }
            break;
        case 1:  // a short line of markup
            out += "<br>";
            break;
        case 2:  // prose only
            for (std::size_t i = 0, n = 1 + random.Below(6); i < n; ++i) out += random.Pick(kProse);
            break;
        default:  // a list item with one anchor
            out += "<li>";
            AppendAnchor(random, out);
            out += "</li>";
            break;
    }
    out += '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: generate_corpus SIZE_MB [SEED] > file.html\n");
        return 2;
    }
    std::uint64_t megabytes = 0;
    std::uint64_t seed = 1;
    const std::string_view size_text = argv[1];
    if (std::from_chars(size_text.data(), size_text.data() + size_text.size(), megabytes).ec !=
        std::errc{}) {
        std::fprintf(stderr, "generate_corpus: SIZE_MB must be a whole number\n");
        return 2;
    }
    if (argc == 3) seed = std::strtoull(argv[2], nullptr, 10);
    const std::uint64_t target = megabytes * 1000 * 1000;
    Random random(seed);
    std::string chunk = "<!doctype html>\n<html><head><meta charset=\"utf-8\"></head><body>\n";
    std::uint64_t written = 0;
    while (written < target) {
        AppendLine(random, chunk);
        if (chunk.size() >= (1 << 20) || written + chunk.size() >= target) {
            if (written + chunk.size() > target) {
                // Cut at the last line break so the file stays well formed line by line.
                const std::size_t keep = chunk.rfind('\n', target - written);
                chunk.resize(keep == std::string::npos ? 0 : keep + 1);
                if (chunk.empty()) break;
            }
            std::fwrite(chunk.data(), 1, chunk.size(), stdout);
            written += chunk.size();
            chunk.clear();
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
