#include "data/ReferenceTables.h"

#include <new>

#include "data/GazetteerRecords.h"
#include "geo/NearestCities.h"

namespace OBData {

const FieldDef kCitySchema[] = {
    {L"id", FieldKind::Int},          {L"displayName", FieldKind::String}, {L"country", FieldKind::String},
    {L"usesDST", FieldKind::Int},     {L"timeZone", FieldKind::Int},       {L"areaCode", FieldKind::String},
    {L"Lat", FieldKind::Float},       {L"Long", FieldKind::Float},         {L"airport", FieldKind::String},
    {L"ianaZone", FieldKind::String},
};
const std::int32_t kCitySchemaCount = sizeof kCitySchema / sizeof kCitySchema[0];

const FieldDef kCountrySchema[] = {
    {L"iso2Name", FieldKind::String},      {L"iso3Name", FieldKind::String},
    {L"displayName", FieldKind::String},   {L"peopleName", FieldKind::String},
    {L"isoNumber", FieldKind::Int},        {L"intDialCode", FieldKind::String},
    {L"intAccessCode", FieldKind::String}, {L"areaCodePrefix", FieldKind::String},
    {L"driveSide", FieldKind::Int},
};
const std::int32_t kCountrySchemaCount = sizeof kCountrySchema / sizeof kCountrySchema[0];

const FieldDef kTimeZoneSchema[] = {
    {L"indx", FieldKind::Int},
    {L"displayName", FieldKind::String},
    {L"bias", FieldKind::Int},
    {L"standardName", FieldKind::String},
    {L"standardBias", FieldKind::Int},
    {L"daylightName", FieldKind::String},
    {L"daylightBias", FieldKind::Int},
    {L"standardDateMonth", FieldKind::Int},
    {L"standardDateDOW", FieldKind::Int},
    {L"standardDateDayIndex", FieldKind::Int},
    {L"standardDateHour", FieldKind::Int},
    {L"standardDateMin", FieldKind::Int},
    {L"daylightDateMonth", FieldKind::Int},
    {L"daylightDateDOW", FieldKind::Int},
    {L"daylightDateDayIndex", FieldKind::Int},
    {L"daylightDateHour", FieldKind::Int},
    {L"daylightDateMin", FieldKind::Int},
};
const std::int32_t kTimeZoneSchemaCount = sizeof kTimeZoneSchema / sizeof kTimeZoneSchema[0];

namespace {

DataTable* g_cityTable = nullptr;
DataTable* g_countryTable = nullptr;
DataTable* g_timeZoneTable = nullptr;

template <typename Record>
DataTable* BuildTable(const FieldDef* schema, std::int32_t schemaCount, const Record* rows,
                      std::int32_t count) {
    return new (std::nothrow)
        DataTable(schema, schemaCount, rows, static_cast<std::int32_t>(sizeof(Record)), count);
}

}  // namespace

bool LoadReferenceTables() {
    SetTextPool(kGazetteerTextPool, kGazetteerText, kGazetteerTextLength);
    if (g_cityTable == nullptr)
        g_cityTable = BuildTable(kCitySchema, kCitySchemaCount, kCityRecords, kCityCount);
    if (g_countryTable == nullptr)
        g_countryTable = BuildTable(kCountrySchema, kCountrySchemaCount, kCountryRecords, kCountryCount);
    if (g_timeZoneTable == nullptr)
        g_timeZoneTable = BuildTable(kTimeZoneSchema, kTimeZoneSchemaCount, kTimeZoneRecords, kTimeZoneCount);
    if (g_cityTable == nullptr || g_countryTable == nullptr || g_timeZoneTable == nullptr)
        return false;

    // The index of city positions over all cities, once the three tables exist.
    BuildCityPositionIndex();
    return true;
}

DataTable* GetCityTable() { return g_cityTable; }
DataTable* GetCountryTable() { return g_countryTable; }
DataTable* GetTimeZoneTable() { return g_timeZoneTable; }

void DeleteReferenceTables() {
    delete g_timeZoneTable;
    g_timeZoneTable = nullptr;
    delete g_countryTable;
    g_countryTable = nullptr;
    delete g_cityTable;
    g_cityTable = nullptr;
}

}  // namespace OBData
