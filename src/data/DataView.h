// An ordered selection of one table's rows: those that satisfy a one-clause
// filter, optionally sorted on one column.
//
// Filters take three forms, tried in this order as the wide formatted scan
// reads them (a blank matches any run of blanks, a name ends at a blank):
//   column = 'text'     the column read as text equals the text exactly
//   column = 12.5       the column read as a double equals the number
//   column = 12         the column read as an integer equals the number
// A null filter keeps every row; anything else yields an empty view.
// A sort is "column" or "column DESC" (any case); other second words sort
// ascending.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/DataRow.h"

namespace OBData {

class DataTable;

// Orders rows on one column of one table.
class RowSorter {
public:
    RowSorter(const DataTable* table, std::wstring column, bool ascending)
        : m_table(table), m_column(std::move(column)), m_ascending(ascending) {}
    virtual ~RowSorter() = default;
    RowSorter(const RowSorter&) = default;
    RowSorter& operator=(const RowSorter&) = default;

    virtual std::int32_t Compare(const void* recordA, const void* recordB) const;

    // Strict "goes before" test for the sort.
    bool operator()(const DataRow& a, const DataRow& b) const {
        const std::int32_t c = Compare(a.GetRecord(), b.GetRecord());
        return m_ascending ? c < 0 : c > 0;
    }

private:
    const DataTable* m_table;
    std::wstring m_column;
    bool m_ascending;
};

class DataView {
public:
    // Limits of the parts of a filter or sort. Longer parts make the filter
    // match nothing (a name or value that long cannot name anything real).
    static constexpr std::size_t kMaxColumnName = 99;
    static constexpr std::size_t kMaxFilterValue = 199;
    static constexpr std::size_t kMaxSortWord = 19;

    // The table must outlive the view. Either argument may be null.
    DataView(const DataTable* table, const wchar_t* sort, const wchar_t* filter);
    virtual ~DataView() = default;

    DataView(const DataView&) = delete;
    DataView& operator=(const DataView&) = delete;

    // Rebuilds the rows from the table and re-applies the stored sort.
    void Filter(const wchar_t* filter);
    // Reorders the rows; null forgets the sort and keeps the present order.
    void Sort(const wchar_t* order);

    std::int32_t GetCount() const { return static_cast<std::int32_t>(m_rows.size()); }
    // The row at `index`, or an empty row outside 0 .. count - 1.
    DataRow GetRow(std::int32_t index) const;

    // First row in view order whose column equals the value.
    bool FindInt(std::wstring_view column, std::int32_t value, DataRow& out) const;
    bool FindString(std::wstring_view column, std::wstring_view value, DataRow& out) const;

    const std::wstring& GetSortSpec() const { return m_sort; }
    const DataTable* GetTable() const { return m_table; }

private:
    const DataTable* m_table;
    std::vector<DataRow> m_rows;
    std::wstring m_sort;
};

}  // namespace OBData
