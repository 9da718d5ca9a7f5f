#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "data/DataRow.h"
#include "data/DataTable.h"
#include "data/DataView.h"
#include "data/StaticText.h"

using namespace OBData;

namespace {

// A record with an unaligned Float: id, name, then Lat at offset 8 and an
// Int after it at 16, in a 24-byte stride.
struct Sample {
    std::int32_t id;
    TextRef name;
    unsigned char lat[8];
    std::int32_t code;
    std::int32_t pad;
};
static_assert(sizeof(Sample) == 24);

const FieldDef kSampleSchema[] = {
    {L"id", FieldKind::Int},
    {L"name", FieldKind::String},
    {L"Lat", FieldKind::Float},
    {L"code", FieldKind::Int},
};

Sample MakeSample(TextPool& pool, std::int32_t id, const wchar_t* name, double lat, std::int32_t code) {
    Sample s{};
    s.id = id;
    s.name = pool.Add(name);
    std::memcpy(s.lat, &lat, sizeof lat);
    s.code = code;
    return s;
}

}  // namespace

TEST(DataTable, ColumnsAreFoundByExactNameAndReadInEveryKind) {
    TextPool pool;
    std::vector<Sample> rows = {MakeSample(pool, 85, L"1224", -34.93, 7),
                                MakeSample(pool, -2147483584, L"", 51.51, 0)};
    DataTable table(kSampleSchema, 4, rows.data(), sizeof(Sample), 2);
    ASSERT_EQ(table.GetRowCount(), 2);
    const void* r0 = table.GetRow(0);
    const void* r1 = table.GetRow(1);

    // Names are case-sensitive; a miss leaves the output untouched.
    double d = 99.0;
    EXPECT_TRUE(table.GetDouble(L"Lat", r0, d));
    EXPECT_DOUBLE_EQ(d, -34.93);
    d = 99.0;
    EXPECT_FALSE(table.GetDouble(L"lat", r0, d));
    EXPECT_EQ(d, 99.0);
    std::wstring s = L"keep";
    EXPECT_FALSE(table.GetString(L"nosuch", r0, s));
    EXPECT_EQ(s, L"keep");

    // Float read as Int truncates toward zero; as text it has six decimals.
    std::int32_t i = 0;
    EXPECT_TRUE(table.GetInt(L"Lat", r0, i));
    EXPECT_EQ(i, -34);
    EXPECT_TRUE(table.GetString(L"Lat", r0, s));
    EXPECT_EQ(s, L"-34.930000");

    // Int as text and double; String holding a number as Int and double.
    EXPECT_TRUE(table.GetString(L"id", r0, s));
    EXPECT_EQ(s, L"85");
    EXPECT_TRUE(table.GetDouble(L"id", r1, d));
    EXPECT_EQ(d, -2147483584.0);
    EXPECT_TRUE(table.GetInt(L"name", r0, i));
    EXPECT_EQ(i, 1224);
    EXPECT_TRUE(table.GetDouble(L"name", r0, d));
    EXPECT_EQ(d, 1224.0);

    // An empty text reads as zero in both numeric kinds, replacing old values.
    i = 5;
    d = 5.0;
    EXPECT_TRUE(table.GetInt(L"name", r1, i));
    EXPECT_TRUE(table.GetDouble(L"name", r1, d));
    EXPECT_EQ(i, 0);
    EXPECT_EQ(d, 0.0);
    EXPECT_TRUE(table.GetString(L"name", r1, s));
    EXPECT_EQ(s, L"");

    // The column after the Float sits at 8 + 8 = 16.
    EXPECT_TRUE(table.GetInt(L"code", r0, i));
    EXPECT_EQ(i, 7);
}

TEST(DataTable, CompareOrdersEachKindAndToleratesUnknownColumns) {
    TextPool pool;
    std::vector<Sample> rows = {MakeSample(pool, -2147483584, L"Basse", 1.5, 0),
                                MakeSample(pool, 85, L"basse", 1.25, 0),
                                MakeSample(pool, 2147483647, L"Basse", 1.5, 0)};
    DataTable table(kSampleSchema, 4, rows.data(), sizeof(Sample), 3);
    const void* a = table.GetRow(0);
    const void* b = table.GetRow(1);
    const void* c = table.GetRow(2);
    // A plain 32-bit subtraction would overflow and give the wrong sign.
    EXPECT_LT(table.Compare(L"id", a, b), 0);
    EXPECT_LT(table.Compare(L"id", a, c), 0);
    EXPECT_GT(table.Compare(L"id", c, a), 0);
    EXPECT_EQ(table.Compare(L"id", b, b), 0);
    // Texts compare by code unit, so capitals come first.
    EXPECT_LT(table.Compare(L"name", a, b), 0);
    EXPECT_EQ(table.Compare(L"name", a, c), 0);
    EXPECT_EQ(table.Compare(L"Lat", a, b), 1);
    EXPECT_EQ(table.Compare(L"Lat", b, a), -1);
    EXPECT_EQ(table.Compare(L"Lat", a, c), 0);
    EXPECT_EQ(table.Compare(L"nosuch", a, b), 0);
}

TEST(DataTable, SchemaPlacesColumnsAndSkipsUnknownKinds) {
    // Two Ints then a Float: the Float lies at 8. An entry of an unknown kind
    // takes no room, so the Int after it still lies at 16.
    const FieldDef schema[] = {{L"a", FieldKind::Int},    {L"b", FieldKind::Int},
                               {L"f", FieldKind::Float},  {L"bogus", static_cast<FieldKind>(7)},
                               {nullptr, FieldKind::Int}, {L"c", FieldKind::Int}};
    unsigned char record[32] = {};
    const double f = 2.5;
    std::memcpy(record + 8, &f, 8);
    const std::int32_t twenty = 20;
    const std::int32_t c = 42;
    std::memcpy(record + 16, &twenty, 4);  // the nameless Int still takes room
    std::memcpy(record + 20, &c, 4);
    DataTable table(schema, 6, record, 32, 1);
    double d = 0;
    std::int32_t i = 0;
    EXPECT_TRUE(table.GetDouble(L"f", table.GetRow(0), d));
    EXPECT_EQ(d, 2.5);
    EXPECT_FALSE(table.HasColumn(L"bogus"));
    EXPECT_TRUE(table.GetInt(L"c", table.GetRow(0), i));
    EXPECT_EQ(i, 42);

    // AddField refuses unknown kinds and replaces an existing column.
    EXPECT_FALSE(table.AddField(L"x", static_cast<FieldKind>(-1), 0));
    EXPECT_FALSE(table.HasColumn(L"x"));
    EXPECT_TRUE(table.AddField(L"c", FieldKind::Int, 16));
    EXPECT_TRUE(table.GetInt(L"c", table.GetRow(0), i));
    EXPECT_EQ(i, 20);
}

TEST(DataTable, OutOfRangeValuesAndBadTablesNeverCrash) {
    TextPool pool;
    std::vector<Sample> rows = {
        MakeSample(pool, 0, L"99999999999", std::numeric_limits<double>::quiet_NaN(), 0),
        MakeSample(pool, 0, L"-7.5abc", 1e300, 0), MakeSample(pool, 0, L"x12", -1e300, 0)};
    DataTable table(kSampleSchema, 4, rows.data(), sizeof(Sample), 3);
    std::int32_t i = 1;
    double d = 1;
    std::wstring s;
    EXPECT_TRUE(table.GetInt(L"Lat", table.GetRow(0), i));
    EXPECT_EQ(i, 0);
    EXPECT_TRUE(table.GetInt(L"Lat", table.GetRow(1), i));
    EXPECT_EQ(i, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(table.GetInt(L"Lat", table.GetRow(2), i));
    EXPECT_EQ(i, std::numeric_limits<std::int32_t>::min());
    EXPECT_TRUE(table.GetString(L"Lat", table.GetRow(1), s));  // a 300-digit text
    EXPECT_GT(s.size(), 300u);
    EXPECT_TRUE(table.GetInt(L"name", table.GetRow(0), i));
    EXPECT_EQ(i, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(table.GetDouble(L"name", table.GetRow(1), d));  // leading number only
    EXPECT_EQ(d, -7.5);
    EXPECT_TRUE(table.GetDouble(L"name", table.GetRow(2), d));
    EXPECT_EQ(d, 0.0);

    EXPECT_EQ(table.GetRow(-1), nullptr);
    EXPECT_EQ(table.GetRow(3), nullptr);
    EXPECT_FALSE(table.GetInt(L"id", nullptr, i));

    DataTable empty(kSampleSchema, 4, nullptr, sizeof(Sample), 5);
    EXPECT_EQ(empty.GetRowCount(), 0);
    DataTable noSchema(nullptr, 3, rows.data(), sizeof(Sample), 3);
    EXPECT_FALSE(noSchema.HasColumn(L"id"));
}

TEST(DataRow, ForwardsReadsAndTheCheckedReadKeepsDefaults) {
    TextPool pool;
    std::vector<Sample> rows = {MakeSample(pool, 17, L"Amman", 31.95, 3)};
    DataTable table(kSampleSchema, 4, rows.data(), sizeof(Sample), 1);
    DataRow row(&table, table.GetRow(0));
    std::int32_t value = -1;
    EXPECT_FALSE(row.GetIntChecked(L"usesDST", value));
    EXPECT_EQ(value, -1);
    EXPECT_TRUE(row.GetIntChecked(L"id", value));
    EXPECT_EQ(value, 17);
    std::wstring name;
    EXPECT_TRUE(row.GetString(L"name", name));
    EXPECT_EQ(name, L"Amman");
    EXPECT_EQ(row.GetRecord(), table.GetRow(0));

    DataRow copy = row;
    row.Clear();
    EXPECT_TRUE(row.IsEmpty());
    EXPECT_EQ(row.GetRecord(), nullptr);
    EXPECT_FALSE(row.GetString(L"name", name));
    EXPECT_FALSE(row.GetIntChecked(L"id", value));
    EXPECT_EQ(value, 17);
    EXPECT_TRUE(copy.GetString(L"name", name));  // copies are independent
}

TEST(StaticText, ReferencesResolveSafely) {
    EXPECT_STREQ(ResolveText(0), L"");
    EXPECT_STREQ(ResolveText(MakeTextRef(200, 5)), L"");  // no pool there
    TextPool pool;
    const TextRef a = pool.Add(L"Aberdeen");
    const TextRef b = pool.Add(std::wstring(L"UK\0junk", 7));
    for (int n = 0; n < 1000; ++n)
        pool.Add(L"growing the storage");
    EXPECT_STREQ(ResolveText(a), L"Aberdeen");  // still valid after growth
    EXPECT_STREQ(ResolveText(b), L"UK");
    EXPECT_STREQ(ResolveText(a + 0x00FFFFFF - (a & 0xFFFFFF)), L"");  // past the end
    const std::uint32_t slot = pool.Slot();
    {
        TextPool other;
        EXPECT_NE(other.Slot(), slot);
        EXPECT_NE(other.Slot(), kGazetteerTextPool);
    }
}

TEST(DataTable, NumbersKeepThePointUnderACommaLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "de_DE.utf8") == nullptr)
        GTEST_SKIP() << "no German locale installed";
    TextPool pool;
    std::vector<Sample> rows = {MakeSample(pool, 1, L"1.5", 51.51, 0)};
    DataTable table(kSampleSchema, 4, rows.data(), sizeof(Sample), 1);
    std::wstring s;
    double d = 0;
    EXPECT_TRUE(table.GetString(L"Lat", table.GetRow(0), s));
    EXPECT_EQ(s, L"51.510000");
    EXPECT_TRUE(table.GetDouble(L"name", table.GetRow(0), d));
    EXPECT_EQ(d, 1.5);
    DataView view(&table, nullptr, L"Lat = 51.51");
    EXPECT_EQ(view.GetCount(), 1);
    std::setlocale(LC_ALL, "C");
}
