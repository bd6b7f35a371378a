// Small readers shared by the record editor engine's files: numbers read from
// grid texts the way the editor reads them, record set fields as trimmed
// texts, and statements run with their errors passed over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"

namespace orva {

class AppConnection;

// The number at the start of a text, 0 when it starts with none: "12.5kg"
// gives 12.5, "abc" and "" give 0. Leading blanks are skipped.
double Val(std::string_view text);
// Val narrowed to a 32-bit ID (rounded; saturated at the 32-bit limits).
std::int32_t ValId(std::string_view text);
// A whole number written by code into a descriptor or cell: "" (or blanks)
// is 0; anything else must be a number (ComError kTypeMismatch otherwise).
std::int64_t WholeNumber(std::string_view text);

// A value as text, Null as "", trimmed of blanks.
std::string TrimmedText(const Variant& value);
// The named field of the current row as TrimmedText.
std::string FieldText(const Recordset& rs, std::string_view name);

// True when the record set is open and on a row.
bool HasRow(const RecordsetPtr& rs);
// Runs the text; nullptr when the database refuses it.
RecordsetPtr TryExecute(AppConnection& connection, std::string_view sql);

}  // namespace orva
