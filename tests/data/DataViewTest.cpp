#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "data/DataTable.h"
#include "data/DataView.h"
#include "data/StaticText.h"

using namespace OBData;

namespace {

struct Place {
    std::int32_t id;
    TextRef name;
    TextRef country;
    std::int32_t pad;
    double lat;
};

const FieldDef kPlaceSchema[] = {{L"id", FieldKind::Int},
                                 {L"displayName", FieldKind::String},
                                 {L"country", FieldKind::String},
                                 {L"pad", FieldKind::Int},
                                 {L"Lat", FieldKind::Float}};

// A small table in name order, like the city table.
class Places : public ::testing::Test {
protected:
    void SetUp() override {
        Add(6, L"Adelaide; SA", L"AU", -34.93);
        Add(17, L"Amman", L"JO", 31.95);
        Add(234, L"London", L"UK", 51.51);
        Add(474, L"Outer London", L"UK", 51.0);
        Add(414, L"Sydney; NSW", L"AU", -33.96);
        Add(92, L"Canberra", L"AU", -35.3);
        Add(320, L"Perth; WA", L"AU", -33.0);
        Add(40, L"Cote d'Ivoire", L"CI", -33.99);
        table = std::make_unique<DataTable>(kPlaceSchema, 5, rows.data(),
                                            static_cast<std::int32_t>(sizeof(Place)),
                                            static_cast<std::int32_t>(rows.size()));
    }
    void Add(std::int32_t id, const wchar_t* name, const wchar_t* country, double lat) {
        rows.push_back({id, pool.Add(name), pool.Add(country), 0, lat});
    }
    std::vector<std::int32_t> Ids(const DataView& view) {
        std::vector<std::int32_t> ids;
        for (std::int32_t i = 0; i < view.GetCount(); ++i) {
            std::int32_t id = 0;
            view.GetRow(i).GetInt(L"id", id);
            ids.push_back(id);
        }
        return ids;
    }
    std::vector<std::int32_t> Filtered(const wchar_t* filter) {
        DataView view(table.get(), nullptr, filter);
        return Ids(view);
    }

    TextPool pool;
    std::vector<Place> rows;
    std::unique_ptr<DataTable> table;
};

using V = std::vector<std::int32_t>;

}  // namespace

TEST_F(Places, FilterPatternsReadAsTheWideScanReadsThem) {
    EXPECT_EQ(Filtered(nullptr), (V{6, 17, 234, 474, 414, 92, 320, 40}));
    EXPECT_EQ(Filtered(L"country = 'AU'"), (V{6, 414, 92, 320}));  // table order kept
    EXPECT_EQ(Filtered(L"country   =   'AU'"), (V{6, 414, 92, 320}));
    EXPECT_EQ(Filtered(L"country ='AU'"), (V{6, 414, 92, 320}));
    EXPECT_EQ(Filtered(L"country = 'AU"), (V{6, 414, 92, 320}));  // closing mark not needed
    EXPECT_EQ(Filtered(L"country = 'au'"), V{});                  // case matters
    EXPECT_EQ(Filtered(L"country='AU'"), V{});                    // "%s" swallows the whole text
    EXPECT_EQ(Filtered(L"country = ''"), V{});
    EXPECT_EQ(Filtered(L"displayName = 'Cote d'Ivoire'"), V{});  // value stops at the mark
    EXPECT_EQ(Filtered(L"displayName = 'Sydney; NSW'"), V{414});

    EXPECT_EQ(Filtered(L"id = 17"), V{17});
    EXPECT_EQ(Filtered(L"id = 17.0"), V{17});  // read as a double and compared as one
    EXPECT_EQ(Filtered(L"id = 17.5"), V{});
    EXPECT_EQ(Filtered(L"id = 4294967313"), V{});  // does not wrap onto 17
    // An Int pattern on a Float column truncates the column toward zero.
    EXPECT_EQ(Filtered(L"Lat = 51"), (V{234, 474}));
    EXPECT_EQ(Filtered(L"Lat = -33"), (V{414, 320, 40}));
    EXPECT_EQ(Filtered(L"Lat = 51.51"), V{234});
    EXPECT_EQ(Filtered(L"Lat = 51."), (V{234, 474}));  // no digits after the point
    // A String column holding digits answers the numeric patterns too.
    EXPECT_EQ(Filtered(L"country = 0"), (V{6, 17, 234, 474, 414, 92, 320, 40}));
}

TEST_F(Places, MalformedFiltersAndUnknownColumnsGiveEmptyViews) {
    for (const wchar_t* bad :
         {L"", L"   ", L"country", L"country =", L"= 'AU'", L"country == 'AU'", L"country = AU",
          L"nosuch = 'AU'", L"nosuch = 5", L"nosuch = 5.5", L"id = abc"}) {
        EXPECT_EQ(Filtered(bad), V{}) << std::wstring(bad).size();
    }
    // Names and values longer than the parser's limits match nothing and do
    // not overrun anything.
    const std::wstring longName(500, L'n');
    EXPECT_EQ(Filtered((longName + L" = 'AU'").c_str()), V{});
    EXPECT_EQ(Filtered((std::wstring(99, L'c') + L"=5").c_str()), V{});
    EXPECT_EQ(Filtered((std::wstring(120, L'c') + L"=5").c_str()), V{});
    const std::wstring longValue(5000, L'A');
    EXPECT_EQ(Filtered((L"country = '" + longValue + L"'").c_str()), V{});
    EXPECT_EQ(Filtered((L"country = '" + std::wstring(199, L'A') + L"'").c_str()), V{});
    EXPECT_EQ(Filtered((L"country = 5" + std::wstring(400, L'5')).c_str()), V{});

    // Empty tables and missing tables give empty views.
    DataTable empty(kPlaceSchema, 5, rows.data(), sizeof(Place), 0);
    DataView overEmpty(&empty, L"displayName DESC", L"country = 'AU'");
    EXPECT_EQ(overEmpty.GetCount(), 0);
    DataView overNothing(nullptr, L"displayName", L"id = 1");
    EXPECT_EQ(overNothing.GetCount(), 0);
    DataRow row;
    EXPECT_FALSE(overNothing.FindInt(L"id", 1, row));
    EXPECT_TRUE(overNothing.GetRow(0).IsEmpty());
}

TEST_F(Places, SortRulesAndTheStoredSpecification) {
    std::unique_ptr<DataView> view(table->CreateView(L"displayName DESC", L"country = 'AU'"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Ids(*view), (V{414, 320, 92, 6}));
    EXPECT_EQ(view->GetSortSpec(), L"displayName DESC");

    view->Sort(L"displayName desc");
    EXPECT_EQ(Ids(*view), (V{414, 320, 92, 6}));
    view->Sort(L"displayName ASC");
    EXPECT_EQ(Ids(*view), (V{6, 92, 320, 414}));
    view->Sort(L"displayName  whatever");
    EXPECT_EQ(Ids(*view), (V{6, 92, 320, 414}));
    view->Sort(L"Lat DESC");
    EXPECT_EQ(Ids(*view), (V{320, 414, 6, 92}));
    view->Sort(L"id");
    EXPECT_EQ(Ids(*view), (V{6, 92, 320, 414}));

    // Re-filtering re-applies the stored sort to the new rows.
    view->Filter(L"country = 'UK'");
    EXPECT_EQ(view->GetSortSpec(), L"id");
    view->Sort(L"id DESC");
    view->Filter(nullptr);
    EXPECT_EQ(Ids(*view), (V{474, 414, 320, 234, 92, 40, 17, 6}));

    // A null sort forgets the specification and keeps the present order,
    // so a later filter gives table order.
    view->Sort(nullptr);
    EXPECT_EQ(view->GetSortSpec(), L"");
    EXPECT_EQ(Ids(*view), (V{474, 414, 320, 234, 92, 40, 17, 6}));
    view->Filter(L"country = 'AU'");
    EXPECT_EQ(Ids(*view), (V{6, 414, 92, 320}));

    // A malformed filter empties the view and leaves the stored sort alone.
    view->Sort(L"displayName");
    view->Filter(L"bad filter");
    EXPECT_EQ(view->GetCount(), 0);
    EXPECT_EQ(view->GetSortSpec(), L"displayName");

    // Rows with equal keys keep table order.
    view->Sort(nullptr);
    view->Filter(nullptr);
    view->Sort(L"country");
    EXPECT_EQ(Ids(*view), (V{6, 414, 92, 320, 40, 17, 234, 474}));
}

TEST_F(Places, OddSortSpecificationsAreHarmless) {
    DataView view(table.get(), L"displayName", nullptr);
    EXPECT_EQ(Ids(view), (V{6, 17, 92, 40, 234, 474, 320, 414}));
    // Unknown columns, over-long words and empty specs sort without harm.
    for (const std::wstring& order :
         {std::wstring(L"nosuch DESC"), std::wstring(L""), std::wstring(300, L'x'),
          std::wstring(L"id ") + std::wstring(300, L'D'), std::wstring(L"   ")}) {
        view.Sort(order.c_str());
        EXPECT_EQ(view.GetCount(), 8);
        EXPECT_EQ(view.GetSortSpec(), order);
    }
}

TEST_F(Places, FindIntAndFindStringReturnTheFirstMatchInViewOrder) {
    DataView view(table.get(), L"id DESC", L"country = 'UK'");
    DataRow row;
    ASSERT_TRUE(view.FindString(L"country", L"UK", row));
    std::int32_t id = 0;
    row.GetInt(L"id", id);
    EXPECT_EQ(id, 474);
    EXPECT_TRUE(view.FindInt(L"id", 234, row));
    EXPECT_EQ(row.GetRecord(), table->GetRow(2));
    DataRow untouched(table.get(), table->GetRow(0));
    EXPECT_FALSE(view.FindInt(L"id", 17, untouched));  // filtered out
    EXPECT_EQ(untouched.GetRecord(), table->GetRow(0));
    EXPECT_FALSE(view.FindString(L"country", L"uk", untouched));
    EXPECT_FALSE(view.FindInt(L"nosuch", 0, untouched));
    // The Int column read as text is its decimal form.
    EXPECT_TRUE(view.FindString(L"id", L"234", row));
}

TEST(DataViewSort, UnorderedValuesNeitherCrashNorLoseRows) {
    // NaN compares equal to everything, so the comparison is no ordering at
    // all; the view must still hold every row exactly once.
    TextPool pool;
    std::vector<Place> rows;
    for (int i = 0; i < 200; ++i) {
        const double lat = i % 3 == 0 ? std::nan("") : static_cast<double>((i * 37) % 101);
        rows.push_back({i, pool.Add(L"x"), pool.Add(L"AU"), 0, lat});
    }
    DataTable table(kPlaceSchema, 5, rows.data(), sizeof(Place), static_cast<std::int32_t>(rows.size()));
    for (const wchar_t* sort : {L"Lat", L"Lat DESC"}) {
        DataView view(&table, sort, nullptr);
        ASSERT_EQ(view.GetCount(), 200);
        std::vector<bool> seen(200, false);
        for (std::int32_t i = 0; i < view.GetCount(); ++i) {
            std::int32_t id = -1;
            ASSERT_TRUE(view.GetRow(i).GetInt(L"id", id));
            ASSERT_TRUE(id >= 0 && id < 200);
            EXPECT_FALSE(seen[static_cast<std::size_t>(id)]);
            seen[static_cast<std::size_t>(id)] = true;
        }
    }
}
