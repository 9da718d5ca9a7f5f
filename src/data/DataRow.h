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
    DataRow(const DataTable* table, const void* record) : table_(table), record_(record) {}

    bool GetString(std::wstring_view column, std::wstring& out) const;
    bool GetInt(std::wstring_view column, std::int32_t& out) const;
    bool GetDouble(std::wstring_view column, double& out) const;

    // Reads into a temporary and copies it to `value` only when the column
    // exists, so a default the caller set survives a missing column.
    bool GetIntChecked(std::wstring_view column, std::int32_t& value) const;

    void Clear() {
        table_ = nullptr;
        record_ = nullptr;
    }
    bool IsEmpty() const { return table_ == nullptr || record_ == nullptr; }

    const DataTable* GetTable() const { return table_; }
    const void* GetRecord() const { return record_; }

    friend bool operator==(const DataRow&, const DataRow&) = default;

private:
    const DataTable* table_ = nullptr;
    const void* record_ = nullptr;
};

}  // namespace OBData
