// Feeds arbitrary criteria to a record set's Filter: the criteria compiler,
// then the matching of every row of a small set that holds each kind of
// value (numbers, text, text that reads as a number or a date, dates, Null).
// Criteria the compiler refuses must be refused with ComError; any other
// exception, a crash, a hang or a sanitizer report is a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "orvasaleprice/com_error.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"

namespace {

using orva::Date;
using orva::Recordset;
using orva::Variant;

// The columns the module's criteria and the record set tests name.
Recordset SampleSet() {
    const Date y2024{2024, 1, 1}, y2100{2100, 1, 1};
    const Variant null;
    const std::vector<std::vector<Variant>> rows = {
        {1, 10, 100, 0, "2023-06-01", y2024, 12.5, null, "kg", "千克", 7, 10},
        {2, 10, 100, 1, "2023-06-01", y2024, 13.0, "audited", "g", "kg", 7, 0.5},
        {3, 10, 101, 0, "2023-07-15", y2100, -2.25, "O'Brien", "box", "Box ", "7", null},
        {4, 11, 100, 0, "2024-01-01 08:30:00", null, 0.0, "", "01", "one", 8, "12"},
        {5, "11", "102", "1", "bad date", "2023-12-31", "99.99", "9e999", "1e-400", "", -8, "x"},
    };
    std::vector<Variant> cells;
    for (const auto& row : rows) cells.insert(cells.end(), row.begin(), row.end());
    return Recordset({"FEntryID", "FCustID", "FItemID", "FUsed", "FQuoteTime", "FExpireDate",
                      "FPrice", "FNote", "FNumber", "FName", "FUnitGroupID", "销货量(从)"},
                     std::move(cells));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Recordset rs = SampleSet();
    const std::string_view criteria(reinterpret_cast<const char*>(data), size);
    try {
        rs.Filter(criteria);
    } catch (const orva::ComError& e) {
        if (e.Number() != orva::ComError::kBadFilter)
            throw;
        return 0;
    }
    // Matching runs while the filter builds the view; reading it back walks it.
    for (long n = rs.RecordCount(); n > 0 && !rs.EOF_(); --n) rs.MoveNext();
    rs.Filter("");
    return 0;
}
