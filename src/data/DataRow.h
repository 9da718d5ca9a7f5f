// One record of one table, as a pair of plain pointers. Copied freely; owns
// nothing. An empty row has both pointers null and every read fails.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace OBData {

class DataTable;

class DataRow {
public:
    DataRow() = default;
    DataRow(const DataTable* table, const void* record) : m_table(table), m_record(record) {}

    bool GetString(std::wstring_view column, std::wstring& out) const;
    bool GetInt(std::wstring_view column, std::int32_t& out) const;
    bool GetDouble(std::wstring_view column, double& out) const;

    // Reads into a temporary and copies it to `value` only when the column
    // exists, so a default the caller set survives a missing column.
    bool GetIntChecked(std::wstring_view column, std::int32_t& value) const;

    void Clear() {
        m_table = nullptr;
        m_record = nullptr;
    }
    bool IsEmpty() const { return m_table == nullptr || m_record == nullptr; }

    const DataTable* GetTable() const { return m_table; }
    const void* GetRecord() const { return m_record; }

    friend bool operator==(const DataRow&, const DataRow&) = default;

private:
    const DataTable* m_table = nullptr;
    const void* m_record = nullptr;
};

}  // namespace OBData
