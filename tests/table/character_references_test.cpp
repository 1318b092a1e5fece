// Tests of decoding character references, against Python's html.unescape.
#include "table/character_references.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/program_run.h"

namespace lintaro {
namespace {

struct ReferenceCase {
    std::string text;
    std::string decoded;
    // Where this program follows the browser's attribute rule instead of html.unescape.
    bool differs_from_python = false;
};

const std::vector<ReferenceCase>& Cases() {
    static const std::vector<ReferenceCase> cases = {
        {"", ""},
        {"no reference", "no reference"},
        {"a&amp;b", "a&b"},
        {"&#64;", "@"},
        {"&#x40;&#X40;", "@@"},
        {"&eacute;", "\u00e9"},
        {"&notit;", "\u00acit;"},
        {"&notin;", "\u2209"},
        {"&amp", "&"},
        {"&eacutex", "\u00e9x"},
        {"&ampfoo;", "&foo;"},
        {"?a=1&amp;b=2", "?a=1&b=2"},
        {"&lt;&gt;&quot;&apos;&nbsp;", "<>\"'\u00a0"},
        {"&NotNestedGreaterGreater;", "\u2aa2\u0338"},
        {"&CounterClockwiseContourIntegral;", "\u2233"},
        {"&unknown;", "&unknown;"},
        {"& amp;", "& amp;"},
        {"&;", "&;"},
        {"&#;", "&#;"},
        {"&#x;", "&#x;"},
        {"&#xg;", "&#xg;"},
        {"&#65", "A"},
        {"&#65x", "Ax"},
        {"&#0;", "\ufffd"},
        {"&#xD800;", "\ufffd"},
        {"&#x110000;", "\ufffd"},
        {"&#99999999999999999999;", "\ufffd"},
        {"&#x80;&#x85;&#x9F;", "\u20ac\u2026\u0178"},
        {"&#x81;", "\u0081"},
        {"&#13;", "\r"},
        {"&#x1F600;", "\U0001F600"},
        {"&&amp;&", "&&&"},
        {"中文&amp;链接&#x4E2D;", "中文&链接中"},
        {"&AMP;&Amp;", "&&Amp;"},
        // A legacy name before '=' stays, as in a browser's attribute value: a link's query
        // keeps its parameter; html.unescape decodes it.
        {"?x=1&copy=2", "?x=1&copy=2", true},
        {"?x=1&amp=2", "?x=1&amp=2", true},
        {"?x=1&copy;=2", "?x=1\u00a9=2"},
        // A numeric reference to a control character or a noncharacter gives it, as in a
        // browser; html.unescape gives nothing.
        {"a&#1;b", "a\u0001b", true},
        {"&#xFFFF;", "\uffff", true},
    };
    return cases;
}

TEST(CharacterReferences, DecodesAsTheTableSays) {
    for (const ReferenceCase& c : Cases()) {
        EXPECT_EQ(DecodeCharacterReferences(c.text), c.decoded) << c.text;
    }
}

std::string Hex(const std::string& text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : text) {
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return hex;
}

// Python's html.unescape of each case, through one python3 process.
TEST(CharacterReferences, AgreesWithPythonsUnescape) {
    std::string input;
    for (const ReferenceCase& c : Cases()) input += Hex(c.text) + '\n';
    const ProgramOutcome run = RunProgram({
        .program = "python3",
        .arguments = {"-c",
                      "import html, sys\n"
                      "for line in sys.stdin:\n"
                      "    text = bytes.fromhex(line.strip()).decode()\n"
                      "    print(html.unescape(text).encode('utf-8', 'surrogatepass').hex())\n"},
        .input = input,
    });
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string& output = run.out;
    std::size_t start = 0;
    for (const ReferenceCase& c : Cases()) {
        const std::size_t end = output.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        const std::string python = output.substr(start, end - start);
        start = end + 1;
        if (c.differs_from_python) {
            EXPECT_NE(Hex(DecodeCharacterReferences(c.text)), python) << c.text;
        } else {
            EXPECT_EQ(Hex(DecodeCharacterReferences(c.text)), python) << c.text;
        }
    }
}

}  // namespace
}  // namespace lintaro
