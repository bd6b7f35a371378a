// Sorting a record set on up to three fields, each ascending or descending.
// Text sorts by the ledger's display text in Chinese pinyin order (ICU's
// collator for "zh"), so codes like "01.002" sort by their text; numbers and
// dates sort by value; empty values come last in either direction. Records
// that compare equal on every key keep their order (the sort is stable).
#pragma once

#include <vector>

#include "host/find/find_field.h"
#include "orvasaleprice/recordset.h"

namespace orva {

struct FindSortKey {
    int field = 0;  // index into the field list
    bool descending = false;

    bool operator==(const FindSortKey&) const = default;
};

// At most this many keys are taken; further keys are ignored.
inline constexpr int kMaxSortKeys = 3;

// The view rows (0-based) of the record set in sorted order. Keys naming a
// field outside the list, or a column the set lacks, are skipped.
std::vector<long> SortOrder(const Recordset& records, const std::vector<FindField>& fields,
                            const std::vector<FindSortKey>& keys);
// A new record set of the records in sorted order.
RecordsetPtr SortRecords(const Recordset& records, const std::vector<FindField>& fields,
                         const std::vector<FindSortKey>& keys);

}  // namespace orva
