// The operations that clean the result table before it is exported: decode character
// references, resolve relative links, trim white space, keep unique rows, sort rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "table/result_table.h"
#include "table/text_collation.h"

namespace lintaro {

// Why column cannot be operated on ("column 7 is outside the table: it has columns 1 to 4"),
// or std::nullopt when it is one of the table's data columns (1 to the last).
std::optional<std::string> ColumnProblem(const ResultTable& table, int column);

// Each operation works on column's data rows (the header row stays); the column must be one
// ColumnProblem accepts, otherwise nothing happens. Cells are program text.

// Decodes the character references in every cell; returns how many cells changed.
std::int64_t DecodeColumn(ResultTable& table, int column);

struct ResolveOutcome {
    std::int64_t resolved = 0;  // cells changed
    std::int64_t relative = 0;  // relative links left as they are: no base, or unreadable
};
// Makes the relative links absolute against base (an absolute URL; empty: none, and every
// relative link stays and is counted).
ResolveOutcome ResolveColumn(ResultTable& table, int column, std::string_view base);

// Trims the white space of every cell; returns how many cells changed.
std::int64_t TrimColumn(ResultTable& table, int column);

// Keeps the first row with each text of the column, numbered anew from 1; returns how many
// rows went.
std::int64_t KeepUniqueRows(ResultTable& table, int column);

// Sorts the data rows by column, ascending and stable, and numbers them anew from 1: as
// numbers when every cell of the column is a number, else as collation orders the texts.
void SortRows(ResultTable& table, int column, TextCollation& collation);

}  // namespace lintaro
