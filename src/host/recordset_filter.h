// Compiled Filter criteria of a record set.
//
// Grammar: clauses "Field Operator Value" joined by AND / OR, with
// parentheses. Field names are bare or in [ ]; operators = <> < > <= >= LIKE;
// values are quoted text ('' for a quote), unquoted numbers (sign and
// decimals allowed), #dates# (#2024-01-31#, #2024/01/31#, #1/31/2024#) or Null.
// Keywords are case-insensitive and may follow a closing quote directly
// ("FNumber='x'Or FName='x'"); blanks around the criteria are ignored.
//
// AND binds tighter than OR ("A OR B AND C" is "A OR (B AND C)"): the result
// is always a set of OR-ed AND-groups, the shape this kind of record set
// filter is built for. Parenthesised OR groups joined by AND are accepted
// and evaluated as written.
//
// Comparison of a row value V with a literal L:
// - Null never compares: every clause on a Null value is false, except
//   "Field = Null" (true for Null) and "Field <> Null" (true for non-Null).
// - Number with number: numerically. A number column with quoted text that
//   reads as a number, and a text column that reads as a number with an
//   unquoted number, also compare numerically.
// - Dates: a date value or date text ("yyyy-mm-dd", optionally followed by a
//   time) with a #date# or a quoted date text compares as dates.
// - Otherwise the text forms compare without regard to (ASCII) letter case
//   and, as the database's own text comparison does, ignoring trailing blanks.
//   Unlike the database and the find component (host/find/text_fold.h),
//   letters beyond ASCII keep their case, full-width forms stay apart from
//   ASCII and leading blanks count: the module's own criteria texts (a typed
//   unit code, dates, ids) have always been compared so.
// - LIKE takes quoted text with the wildcard * or % at the end, at the start,
//   at both ends or nowhere (no wildcard: equal without regard to case). A
//   wildcard anywhere else is refused.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

class RecordStore;

class RecordFilter {
  public:
    // Throws ComError kBadFilter naming the criteria when it does not parse
    // or names a column the record set lacks.
    static RecordFilter Compile(std::string_view criteria, const std::vector<std::string>& columns);

    RecordFilter(RecordFilter&&) noexcept;
    RecordFilter& operator=(RecordFilter&&) noexcept;
    ~RecordFilter();

    // Whether stored row `row` of a record set's values passes.
    bool Matches(const RecordStore& store, std::size_t row) const;

    struct Node;  // expression tree, recordset_filter.cpp

  private:
    explicit RecordFilter(std::unique_ptr<Node> root);
    std::unique_ptr<Node> root_;
};

}  // namespace orva
