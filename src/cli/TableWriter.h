// One writer for every table the command line prints: rows of named, typed
// cells as tab-separated values or as a JSON array of objects, and lines of
// display texts as aligned columns for a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace ob::cli {

// A cell: JSON null, a boolean, a whole number, a number, or a text.
using Cell = std::variant<std::nullptr_t, bool, std::int64_t, double, std::string>;

struct Table {
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;  // each as long as `columns`
};

// A header line of the column names, then one line per row. Null is an
// empty field, booleans are "true"/"false"; tabs and line ends in a text
// become spaces.
std::string WriteTsv(const Table& table);

// An array of objects, one per row, with the columns as keys in order; an
// unrepresentable number (infinite, not a number) becomes null.
std::string WriteJson(const Table& table);

// Lines of cells as UTF-8 text in columns two spaces apart; a line of one
// cell (a heading) stands as it is and widens no column.
std::string AlignedColumns(const std::vector<std::vector<std::wstring>>& lines);

// Pieces of the above, for callers that write a form of their own.
std::string TsvField(std::string value);
std::string JsonString(const std::string& value);
std::size_t DisplayWidth(const std::wstring& text);

}  // namespace ob::cli
