// The three reference tables (cities, countries, time zones) over the
// built-in rows, kept in process-wide slots from start-up to exit.
#pragma once

#include <cstdint>

#include "data/DataTable.h"

namespace OBData {

// Column schemas, in record order.
extern const FieldDef kCitySchema[];
extern const std::int32_t kCitySchemaCount;
extern const FieldDef kCountrySchema[];
extern const std::int32_t kCountrySchemaCount;
extern const FieldDef kTimeZoneSchema[];
extern const std::int32_t kTimeZoneSchemaCount;

// Builds the city, country and time zone tables, in that order, and keeps
// them; tables that already exist are kept as they are. False when a table
// could not be built (its slot stays null and every lookup on it finds
// nothing); the city position index is built only when all three exist.
bool LoadReferenceTables();

// The tables, or null before loading or when a table could not be built.
DataTable* GetCityTable();
DataTable* GetCountryTable();
DataTable* GetTimeZoneTable();

// Deletes the time zone, country and city tables, in that order, and empties
// the slots. Called by the reference data's clean-up at exit.
void DeleteReferenceTables();

}  // namespace OBData
