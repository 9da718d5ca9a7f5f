#include "data/DataView.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <functional>

#include "data/DataTable.h"
#include "data/NumericLocale.h"

namespace OBData {

namespace {

// Length of the first blank-delimited word, as "%s" would take it.
std::size_t FirstWordLength(const wchar_t* text) {
    const wchar_t* p = text;
    while (*p != L'\0' && std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    const wchar_t* start = p;
    while (*p != L'\0' && !std::iswspace(static_cast<wint_t>(*p)))
        ++p;
    return static_cast<std::size_t>(p - start);
}

bool EqualsIgnoringCase(const wchar_t* a, const wchar_t* b) {
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (std::towupper(static_cast<wint_t>(*a)) != std::towupper(static_cast<wint_t>(*b)))
            return false;
    }
    return *a == *b;
}

using Predicate = std::function<bool(const DataTable&, const void*)>;

// Chooses the predicate for a filter, or returns false when the filter reads
// as none of the three forms. The buffers are one larger than the limits and
// the scan widths bound them.
bool ParseFilter(const wchar_t* filter, Predicate& predicate) {
    ScopedCNumericLocale c;
    if (FirstWordLength(filter) > DataView::kMaxColumnName)
        return false;

    wchar_t name[DataView::kMaxColumnName + 1] = {};
    wchar_t value[DataView::kMaxFilterValue + 1] = {};
    int end = -1;
    if (std::swscanf(filter, L"%99ls = '%199l[^']%n", name, value, &end) == 2) {
        // A value that filled its buffer and goes on was cut short: it
        // cannot equal anything the way it was meant.
        if (std::wcslen(value) == DataView::kMaxFilterValue && end >= 0 && filter[end] != L'\'' &&
            filter[end] != L'\0')
            return false;
        predicate = [column = std::wstring(name), text = std::wstring(value)](const DataTable& table,
                                                                              const void* record) {
            std::wstring cell;
            return table.GetString(column, record, cell) && cell == text;
        };
        return true;
    }

    long whole = 0;
    long fraction = 0;
    if (std::swscanf(filter, L"%99ls = %ld.%ld", name, &whole, &fraction) == 3) {
        double number = 0.0;
        if (std::swscanf(filter, L"%*ls = %lf", &number) != 1)
            return false;
        predicate = [column = std::wstring(name), number](const DataTable& table, const void* record) {
            double cell = 0.0;
            return table.GetDouble(column, record, cell) && cell == number;
        };
        return true;
    }

    long integer = 0;
    if (std::swscanf(filter, L"%99ls = %ld", name, &integer) == 2) {
        predicate = [column = std::wstring(name), integer](const DataTable& table, const void* record) {
            std::int32_t cell = 0;
            return table.GetInt(column, record, cell) && static_cast<long>(cell) == integer;
        };
        return true;
    }
    return false;
}

}  // namespace

std::int32_t RowSorter::Compare(const void* recordA, const void* recordB) const {
    return m_table == nullptr ? 0 : m_table->Compare(m_column, recordA, recordB);
}

DataView::DataView(const DataTable* table, const wchar_t* sort, const wchar_t* filter) : m_table(table) {
    if (m_table != nullptr)
        m_rows.reserve(static_cast<std::size_t>(m_table->GetRowCount()));
    Filter(filter);
    Sort(sort);
}

void DataView::Filter(const wchar_t* filter) {
    m_rows.clear();
    if (m_table == nullptr)
        return;

    Predicate predicate;
    if (filter != nullptr && !ParseFilter(filter, predicate))
        return;

    const std::int32_t count = m_table->GetRowCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const void* record = m_table->GetRow(i);
        if (!predicate || predicate(*m_table, record))
            m_rows.emplace_back(m_table, record);
    }

    // Forget the stored sort so that Sort does not skip it as unchanged.
    std::wstring stored;
    stored.swap(m_sort);
    if (!stored.empty())
        Sort(stored.c_str());
}

void DataView::Sort(const wchar_t* order) {
    if (order == nullptr) {
        m_sort.clear();
        return;
    }
    if (m_sort == order)
        return;

    std::wstring column;
    bool ascending = true;
    wchar_t first[kMaxColumnName + 1] = {};
    wchar_t second[kMaxSortWord + 1] = {};
    if (FirstWordLength(order) <= kMaxColumnName && std::swscanf(order, L"%99ls %19ls", first, second) == 2) {
        column = first;
        ascending = !EqualsIgnoringCase(second, L"DESC");
    } else {
        column = order;
    }

    // A stable sort: rows with equal keys keep their present (table) order,
    // so sorting the cities by country leaves each country's cities in name
    // order, and an inconsistent comparison (NaN) cannot disturb the rows.
    std::stable_sort(m_rows.begin(), m_rows.end(), RowSorter(m_table, std::move(column), ascending));
    m_sort = order;
}

DataRow DataView::GetRow(std::int32_t index) const {
    if (index < 0 || index >= GetCount())
        return DataRow();
    return m_rows[static_cast<std::size_t>(index)];
}

bool DataView::FindInt(std::wstring_view column, std::int32_t value, DataRow& out) const {
    for (const DataRow& row : m_rows) {
        std::int32_t cell = 0;
        if (row.GetInt(column, cell) && cell == value) {
            out = row;
            return true;
        }
    }
    return false;
}

bool DataView::FindString(std::wstring_view column, std::wstring_view value, DataRow& out) const {
    std::wstring cell;
    for (const DataRow& row : m_rows) {
        if (row.GetString(column, cell) && cell == value) {
            out = row;
            return true;
        }
    }
    return false;
}

}  // namespace OBData
