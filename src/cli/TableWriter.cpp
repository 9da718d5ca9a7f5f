#include "cli/TableWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "platform/kernel/WideText.h"

namespace ob::cli {

namespace {

// The shortest text that reads back as the same double.
std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string TsvCell(const Cell& cell) {
    struct {
        std::string operator()(std::nullptr_t) const { return {}; }
        std::string operator()(bool b) const { return b ? "true" : "false"; }
        std::string operator()(std::int64_t n) const { return std::to_string(n); }
        std::string operator()(double d) const { return std::isfinite(d) ? Number(d) : std::string(); }
        std::string operator()(const std::string& s) const { return TsvField(s); }
    } visit;
    return std::visit(visit, cell);
}

std::string JsonCell(const Cell& cell) {
    struct {
        std::string operator()(std::nullptr_t) const { return "null"; }
        std::string operator()(bool b) const { return b ? "true" : "false"; }
        std::string operator()(std::int64_t n) const { return std::to_string(n); }
        std::string operator()(double d) const { return std::isfinite(d) ? Number(d) : "null"; }
        std::string operator()(const std::string& s) const { return JsonString(s); }
    } visit;
    return std::visit(visit, cell);
}

}  // namespace

std::string WriteTsv(const Table& table) {
    std::string out;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        out += (i ? "\t" : "") + TsvField(table.columns[i]);
    out += '\n';
    for (const auto& row : table.rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            out += (i ? "\t" : "") + TsvCell(row[i]);
        out += '\n';
    }
    return out;
}

std::string WriteJson(const Table& table) {
    std::string out = "[";
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out += r ? ",\n  {" : "\n  {";
        const auto& row = table.rows[r];
        for (std::size_t i = 0; i < row.size() && i < table.columns.size(); ++i)
            out += (i ? ", " : "") + JsonString(table.columns[i]) + ": " + JsonCell(row[i]);
        out += "}";
    }
    out += table.rows.empty() ? "]\n" : "\n]\n";
    return out;
}

std::string TsvField(std::string value) {
    for (char& c : value)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return value;
}

std::string JsonString(const std::string& value) {
    std::string out = "\"";
    for (unsigned char c : value) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Terminal columns taken by a text (wide characters count twice).
std::size_t DisplayWidth(const std::wstring& text) {
    std::size_t width = 0;
    for (wchar_t c : text) {
        const int w = ::wcwidth(c);
        width += w < 0 ? 1 : static_cast<std::size_t>(w);
    }
    return width;
}

std::string AlignedColumns(const std::vector<std::vector<std::wstring>>& lines) {
    std::vector<std::size_t> widths;
    for (const auto& line : lines) {
        if (line.size() < 2)
            continue;
        widths.resize(std::max(widths.size(), line.size()), 0);
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], DisplayWidth(line[i]));
    }
    std::string out;
    for (const auto& line : lines) {
        std::wstring text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            text += line[i];
            if (i + 1 < line.size())
                text += std::wstring(widths[i] - DisplayWidth(line[i]) + 2, L' ');
        }
        while (!text.empty() && text.back() == L' ')
            text.pop_back();
        out += ob::kernel::ToUtf8(text) + "\n";
    }
    return out;
}

}  // namespace ob::cli
