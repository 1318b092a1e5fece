// The operations that clean the result table before it is exported.
#include "table/table_operations.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <vector>

#include "base/charset.h"
#include "base/huge_pages.h"
#include "base/processors.h"
#include "base/program_text.h"
#include "table/character_references.h"
#include "table/distinct_texts.h"
#include "table/link_resolution.h"
#include "table/white_space_trim.h"

namespace lintaro {

namespace {

// Runs change, which reads and writes UTF-8, on program text.
template <typename Change>
std::string InUtf8(std::string_view text, const Change& change) {
    if (ProgramCharsetIsUtf8()) return change(text);
    return Utf8ToProgramText(change(ProgramTextToUtf8(text)));
}

// The column's cell views, one per data row; valid until the table changes. A long column is
// read by several threads, a piece each, into huge pages: ordinary ones cost a page fault for
// every 256 rows.
HugePageVector<std::string_view> ColumnTexts(const ResultTable& table, int column) {
    constexpr std::size_t kLeastPieceRows = std::size_t{1} << 16;
    HugePageVector<std::string_view> texts(
        static_cast<std::size_t>(table.RowCount() - table.FixedRowCount()));
    const std::size_t pieces = PiecesFor(texts.size(), kLeastPieceRows);
    RunPieces(pieces, [&](std::size_t k) {
        const std::size_t end = PieceStart(texts.size(), pieces, k + 1);
        for (std::size_t i = PieceStart(texts.size(), pieces, k); i < end; ++i) {
            texts[i] = table.GetCell(table.FixedRowCount() + static_cast<int>(i), column)
                           .value_or(std::string_view());
        }
    });
    return texts;
}

// Sorts order by less, a piece on each of several threads, then merges the pieces in pairs.
// less must be safe to call from several threads at once.
template <typename Less>
void SortInPieces(std::vector<std::size_t>& order, const Less& less) {
    constexpr std::size_t kLeastPieceItems = 8192;
    const std::size_t pieces = PiecesFor(order.size(), kLeastPieceItems);
    const auto start = [&](std::size_t k) {
        return order.begin() + static_cast<std::ptrdiff_t>(PieceStart(order.size(), pieces, k));
    };
    RunPieces(pieces, [&](std::size_t k) { std::sort(start(k), start(k + 1), less); });
    for (std::size_t width = 1; width < pieces; width *= 2) {
        for (std::size_t k = 0; k + width < pieces; k += 2 * width) {
            std::inplace_merge(start(k), start(k + width), start(std::min(k + 2 * width, pieces)),
                               less);
        }
    }
}

std::optional<double> NumberIn(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::string> ColumnProblem(const ResultTable& table, int column) {
    const int first = table.FixedColumnCount();
    const int last = table.ColumnCount() - 1;
    if (column >= first && column <= last) return std::nullopt;
    const std::string problem = "column " + std::to_string(column) + " is outside the table";
    if (last < first) return problem + ": it has no data column";
    return problem + ": it has columns " + std::to_string(first) + " to " + std::to_string(last);
}

std::int64_t DecodeColumn(ResultTable& table, int column) {
    if (ColumnProblem(table, column)) return 0;
    return table.RewriteColumn(column, [](std::string_view text, std::string& rewritten) {
        // Most cells hold no reference: they are left without a copy.
        if (text.find('&') == std::string_view::npos) return false;
        rewritten = InUtf8(text, DecodeCharacterReferences);
        return rewritten != text;
    });
}

ResolveOutcome ResolveColumn(ResultTable& table, int column, std::string_view base) {
    ResolveOutcome outcome;
    if (ColumnProblem(table, column)) return outcome;
    const std::string utf8_base = ProgramTextToUtf8(base);
    outcome.resolved =
        table.RewriteColumn(column, [&](std::string_view text, std::string& rewritten) {
            if (KeepsItsForm(text)) return false;
            const std::string utf8_link = ProgramTextToUtf8(text);
            const std::optional<std::string> resolved =
                utf8_base.empty() ? std::nullopt : ResolveLink(utf8_link, utf8_base);
            if (!resolved) {
                ++outcome.relative;
                return false;
            }
            rewritten = Utf8ToProgramText(*resolved);
            return rewritten != text;
        });
    return outcome;
}

std::int64_t TrimColumn(ResultTable& table, int column) {
    // White space is ASCII, whose bytes are never part of another character in the program's
    // character sets (UTF-8, GB18030's and the like's trailing bytes start past them).
    if (ColumnProblem(table, column)) return 0;
    return table.RewriteColumn(column, [](std::string_view text, std::string& rewritten) {
        // Most cells are tidy already: they are left without a copy.
        if (IsTrimmed(text)) return false;
        rewritten = TrimWhiteSpace(text);
        return true;
    });
}

std::int64_t KeepUniqueRows(ResultTable& table, int column) {
    if (ColumnProblem(table, column)) return 0;
    const HugePageVector<std::string_view> texts = ColumnTexts(table, column);
    const DistinctTexts distinct = FindDistinctTexts(texts);
    // The texts are numbered as they first occur: a row whose text has the next number is the
    // first with it.
    std::vector<int> kept;
    kept.reserve(distinct.texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (distinct.index_of[i] == kept.size()) {
            kept.push_back(table.FixedRowCount() + static_cast<int>(i));
        }
    }
    const auto removed = static_cast<std::int64_t>(texts.size() - kept.size());
    table.KeepDataRows(kept);
    return removed;
}

void SortRows(ResultTable& table, int column, TextCollation& collation) {
    if (ColumnProblem(table, column)) return;
    const HugePageVector<std::string_view> texts = ColumnTexts(table, column);
    // Each row's rank in the column's order: equal ranks for texts that order as equal.
    HugePageVector<std::uint32_t> rank(texts.size());
    std::vector<double> numbers;
    numbers.reserve(texts.size());
    for (const std::string_view text : texts) {
        const std::optional<double> number = NumberIn(text);
        if (!number) break;
        numbers.push_back(*number);
    }
    if (numbers.size() == texts.size()) {
        std::vector<std::size_t> order(texts.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::ranges::sort(order,
                          [&](std::size_t a, std::size_t b) { return numbers[a] < numbers[b]; });
        std::uint32_t next = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && numbers[order[i - 1]] < numbers[order[i]]) ++next;
            rank[order[i]] = next;
        }
    } else {
        // Only the distinct texts are collated.
        const DistinctTexts distinct = FindDistinctTexts(texts);
        collation.Prepare(distinct.texts);
        std::vector<std::size_t> order(distinct.texts.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        SortInPieces(order, [&](std::size_t a, std::size_t b) { return collation.Less(a, b); });
        std::vector<std::uint32_t> distinct_rank(distinct.texts.size());
        std::uint32_t next = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            if (i > 0 && collation.Less(order[i - 1], order[i])) ++next;
            distinct_rank[order[i]] = next;
        }
        for (std::size_t i = 0; i < texts.size(); ++i) {
            rank[i] = distinct_rank[distinct.index_of[i]];
        }
    }
    // A counting sort by rank: stable, and linear in the rows.
    const std::uint32_t ranks = texts.empty() ? 0 : *std::ranges::max_element(rank) + 1;
    std::vector<std::size_t> starts(std::size_t{ranks} + 1, 0);
    for (const std::uint32_t r : rank) ++starts[r + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    HugePageVector<int> rows(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        rows[starts[rank[i]]++] = table.FixedRowCount() + static_cast<int>(i);
    }
    table.KeepDataRows(rows);
}

}  // namespace lintaro
