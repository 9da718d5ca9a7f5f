// A read-only table over an array of fixed-size records compiled into the
// program. A schema of (name, kind) pairs places the columns in each record;
// every read goes through a typed accessor found by column name.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace OBData {

class DataView;

enum class FieldKind : std::int32_t {
    Int = 0,     // 4 bytes, signed 32-bit integer
    String = 1,  // 4 bytes, a TextRef into static text storage
    Float = 2,   // 8 bytes, IEEE 754 double
};

struct FieldDef {
    const wchar_t* name;
    FieldKind kind;
};

class DataTable {
public:
    // Reads one column of a record. Offsets need no alignment: a Float may
    // sit at any multiple of 4.
    class FieldAccessor {
    public:
        explicit FieldAccessor(std::int32_t offset) : m_offset(offset) {}
        virtual ~FieldAccessor() = default;
        virtual void GetDouble(const void* record, double& out) const = 0;
        virtual void GetString(const void* record, std::wstring& out) const = 0;
        virtual void GetInt(const void* record, std::int32_t& out) const = 0;
        // Negative when A orders before B, 0 when equal, positive after.
        virtual std::int32_t Compare(const void* recordA, const void* recordB) const = 0;

        std::int32_t Offset() const { return m_offset; }

    protected:
        const unsigned char* Field(const void* record) const {
            return static_cast<const unsigned char*>(record) + m_offset;
        }

    private:
        std::int32_t m_offset;
    };

    // Walks the schema, placing each column at the running offset. An entry
    // of an unknown kind registers nothing and takes no room.
    DataTable(const FieldDef* schema, std::int32_t schemaCount, const void* records,
              std::int32_t recordStride, std::int32_t rowCount);
    virtual ~DataTable();

    DataTable(const DataTable&) = delete;
    DataTable& operator=(const DataTable&) = delete;

    // Registers (or replaces) a column. False for an unknown kind, a missing
    // name or when the accessor cannot be allocated.
    bool AddField(const wchar_t* name, FieldKind kind, std::int32_t offset);

    std::int32_t GetRowCount() const { return m_rowCount; }
    std::int32_t GetRecordStride() const { return m_stride; }

    // Record number `index`, or null outside 0 .. row count - 1.
    const void* GetRow(std::int32_t index) const;

    // False (and `out` untouched) when the column does not exist.
    bool GetString(std::wstring_view column, const void* record, std::wstring& out) const;
    bool GetInt(std::wstring_view column, const void* record, std::int32_t& out) const;
    bool GetDouble(std::wstring_view column, const void* record, double& out) const;

    // The column's ordering of two records; 0 when the column does not exist.
    std::int32_t Compare(std::wstring_view column, const void* recordA, const void* recordB) const;

    bool HasColumn(std::wstring_view column) const;

    // A new view over this table, owned by the caller. Either may be null.
    DataView* CreateView(const wchar_t* sort, const wchar_t* filter) const;

private:
    const FieldAccessor* Find(std::wstring_view column) const;

    // Ordered by plain code-unit comparison; transparent so that lookups by
    // string view need no temporary string.
    std::map<std::wstring, std::unique_ptr<FieldAccessor>, std::less<>> m_columns;
    const unsigned char* m_records;
    std::int32_t m_rowCount;
    std::int32_t m_stride;
};

}  // namespace OBData
