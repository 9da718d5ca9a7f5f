#include "data/DataRow.h"

#include "data/DataTable.h"

namespace OBData {

bool DataRow::GetString(std::wstring_view column, std::wstring& out) const {
    return m_table != nullptr && m_table->GetString(column, m_record, out);
}

bool DataRow::GetInt(std::wstring_view column, std::int32_t& out) const {
    return m_table != nullptr && m_table->GetInt(column, m_record, out);
}

bool DataRow::GetDouble(std::wstring_view column, double& out) const {
    return m_table != nullptr && m_table->GetDouble(column, m_record, out);
}

bool DataRow::GetIntChecked(std::wstring_view column, std::int32_t& value) const {
    std::int32_t read = 0;
    if (!GetInt(column, read))
        return false;
    value = read;
    return true;
}

}  // namespace OBData
