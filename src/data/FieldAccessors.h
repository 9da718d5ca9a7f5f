// The three kinds of column accessor. Conversions between kinds go through
// the wide formatted print and scan with fixed formats, so a String column
// holding "1224" reads as the integer 1224 and a Float prints six decimals.
#pragma once

#include "data/DataTable.h"

namespace OBData {

class IntFieldAccessor : public DataTable::FieldAccessor {
public:
    using FieldAccessor::FieldAccessor;
    void GetDouble(const void* record, double& out) const override;
    void GetString(const void* record, std::wstring& out) const override;
    void GetInt(const void* record, std::int32_t& out) const override;
    std::int32_t Compare(const void* recordA, const void* recordB) const override;
};

class StringFieldAccessor : public DataTable::FieldAccessor {
public:
    using FieldAccessor::FieldAccessor;
    void GetDouble(const void* record, double& out) const override;
    void GetString(const void* record, std::wstring& out) const override;
    void GetInt(const void* record, std::int32_t& out) const override;
    std::int32_t Compare(const void* recordA, const void* recordB) const override;

    const wchar_t* Text(const void* record) const;
};

class FloatFieldAccessor : public DataTable::FieldAccessor {
public:
    using FieldAccessor::FieldAccessor;
    void GetDouble(const void* record, double& out) const override;
    void GetString(const void* record, std::wstring& out) const override;
    void GetInt(const void* record, std::int32_t& out) const override;
    std::int32_t Compare(const void* recordA, const void* recordB) const override;
};

}  // namespace OBData
