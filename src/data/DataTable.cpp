#include "data/DataTable.h"

#include <new>

#include "data/DataView.h"
#include "data/FieldAccessors.h"

namespace OBData {

DataTable::DataTable(const FieldDef* schema, std::int32_t schemaCount, const void* records,
                     std::int32_t recordStride, std::int32_t rowCount)
    : m_records(static_cast<const unsigned char*>(records)),
      m_rowCount(records == nullptr || rowCount < 0 ? 0 : rowCount),
      m_stride(recordStride < 0 ? 0 : recordStride) {
    if (schema == nullptr)
        return;
    std::int32_t offset = 0;
    for (std::int32_t i = 0; i < schemaCount; ++i) {
        const FieldDef& def = schema[i];
        switch (def.kind) {
        case FieldKind::Int:
        case FieldKind::String:
            AddField(def.name, def.kind, offset);
            offset += 4;
            break;
        case FieldKind::Float:
            AddField(def.name, def.kind, offset);
            offset += 8;
            break;
        default: break;  // no column, no room
        }
    }
}

DataTable::~DataTable() { m_columns.clear(); }

bool DataTable::AddField(const wchar_t* name, FieldKind kind, std::int32_t offset) {
    if (name == nullptr)
        return false;
    std::unique_ptr<FieldAccessor> accessor;
    switch (kind) {
    case FieldKind::Int: accessor.reset(new (std::nothrow) IntFieldAccessor(offset)); break;
    case FieldKind::String: accessor.reset(new (std::nothrow) StringFieldAccessor(offset)); break;
    case FieldKind::Float: accessor.reset(new (std::nothrow) FloatFieldAccessor(offset)); break;
    default: return false;
    }
    if (!accessor)
        return false;
    try {
        m_columns[name] = std::move(accessor);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

const void* DataTable::GetRow(std::int32_t index) const {
    if (index < 0 || index >= m_rowCount)
        return nullptr;
    return m_records + static_cast<std::ptrdiff_t>(index) * m_stride;
}

const DataTable::FieldAccessor* DataTable::Find(std::wstring_view column) const {
    const auto it = m_columns.find(column);
    return it == m_columns.end() ? nullptr : it->second.get();
}

bool DataTable::HasColumn(std::wstring_view column) const { return Find(column) != nullptr; }

bool DataTable::GetString(std::wstring_view column, const void* record, std::wstring& out) const {
    const FieldAccessor* accessor = Find(column);
    if (accessor == nullptr || record == nullptr)
        return false;
    accessor->GetString(record, out);
    return true;
}

bool DataTable::GetInt(std::wstring_view column, const void* record, std::int32_t& out) const {
    const FieldAccessor* accessor = Find(column);
    if (accessor == nullptr || record == nullptr)
        return false;
    accessor->GetInt(record, out);
    return true;
}

bool DataTable::GetDouble(std::wstring_view column, const void* record, double& out) const {
    const FieldAccessor* accessor = Find(column);
    if (accessor == nullptr || record == nullptr)
        return false;
    accessor->GetDouble(record, out);
    return true;
}

std::int32_t DataTable::Compare(std::wstring_view column, const void* recordA, const void* recordB) const {
    const FieldAccessor* accessor = Find(column);
    if (accessor == nullptr || recordA == nullptr || recordB == nullptr)
        return 0;
    return accessor->Compare(recordA, recordB);
}

DataView* DataTable::CreateView(const wchar_t* sort, const wchar_t* filter) const {
    return new (std::nothrow) DataView(this, sort, filter);
}

}  // namespace OBData
