// Criteria of the find component and how a record set's rows are tested
// against them.
//
// A criterion row names a field, an operator and the typed value(s); rows
// are joined by "all of" or "any of". Before anything runs, CheckCriteria
// reads the typed values as the field's kind needs them (numbers and dates
// may be typed with full-width digits) and reports the first row whose value
// is not valid.
//
// Matching follows what the ledger shows and what the user typed, and
// search all's statements (browse/find_search_all.cpp) state the same rules
// in SQL, so that a find in one ledger and search all over every ledger pick
// the same rows:
// - text: the cell's display text (Null as empty, blanks trimmed) against
//   the typed text (NFKC, blanks trimmed), both folded as the database
//   compares text (case and full-width forms, text_fold.h), and compared
//   literally: '%', '_', '*', '[' and quotes are characters like any other;
// - numbers and dates: the stored value against the typed one (45.789 stored
//   and shown 45.79 matches "= 45.789"); an empty or unreadable cell matches
//   no comparison;
// - a choice: the first choice of the list stands for a set flag (a cell
//   reading "Y", "1", "True" or a non-zero number), the second for the rest.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/find/find_field.h"
#include "orvasaleprice/recordset.h"

namespace orva {

enum class FindJoin { kAll, kAny };

struct FindCriterion {
    int field = 0;  // index into the field list
    FindOp op = FindOp::kContains;
    std::string value;
    std::string value2;  // the upper bound of "between"

    bool operator==(const FindCriterion&) const = default;
};

struct FindCriteria {
    FindJoin join = FindJoin::kAll;
    std::vector<FindCriterion> rows;

    bool operator==(const FindCriteria&) const = default;
};

// A criterion with its values read for the field's kind.
struct CheckedCriterion {
    int field = 0;
    std::string column;
    FindValueKind kind = FindValueKind::kText;
    FindOp op = FindOp::kContains;
    std::string typed;  // text: the typed value, width-normalised, trimmed
    std::string text;   // text: `typed` folded
    double number1 = 0, number2 = 0;
    Date date1, date2;
    bool choiceSet = true;  // choice: the first choice of the list

    // Whether a cell satisfies the criterion.
    bool Matches(const Variant& cell) const;
};

struct CheckedCriteria {
    FindJoin join = FindJoin::kAll;
    std::vector<CheckedCriterion> rows;
};

// Why criteria cannot run: the row (0-based), a message key (a Chinese text
// the dialog shows localised) and the offending value.
struct FindCriteriaError {
    int row = 0;
    std::string key;
    std::string value;
};

// Reads the typed values. Errors: a field index outside the list, an
// operator the field's kind does not offer, a number or date that is missing
// or not valid, a choice that is not in the list.
std::variant<CheckedCriteria, FindCriteriaError> CheckCriteria(const std::vector<FindField>& fields,
                                                               const FindCriteria& criteria);

// Tests the rows of one record set. Columns are bound by name once; a
// criterion whose column the set lacks matches no row. Criteria without rows
// match every row.
class RowMatcher {
  public:
    RowMatcher(const CheckedCriteria& criteria, const Recordset& records);
    // Criterion i is decided outside the record set (search all tests the
    // fields of the customer or item itself once): every row takes `value`.
    void Fix(std::size_t criterion, bool value);
    // Row of the record set's view, 0-based.
    bool Matches(long row) const;

  private:
    struct Bound {
        const CheckedCriterion* criterion;
        int ordinal;        // in the record set, -1 when absent
        signed char fixed;  // -1 tested per row, else the fixed answer
    };
    bool any_;
    const Recordset& records_;
    std::vector<Bound> bound_;
};

// 1-based positions of the matching records, in record set order.
std::vector<long> FindMatches(const CheckedCriteria& criteria, const Recordset& records);
// A new record set of the matching records, same columns, same order.
RecordsetPtr FilterRecords(const CheckedCriteria& criteria, const Recordset& records);
// A new record set of the given view rows (0-based), in that order.
RecordsetPtr CopyRows(const Recordset& records, const std::vector<long>& rows);

// The text of a cell as the ledger shows it: Null as "", blanks trimmed.
std::string DisplayText(const Variant& cell);
// The date `days` after (or before) a date.
Date AddDays(const Date& date, int days);

}  // namespace orva
