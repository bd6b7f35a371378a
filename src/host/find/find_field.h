// The fields a find, filter or sort dialog offers, as the caller describes
// them: one keyed set per field with "Caption", "Column" (the record set
// column), "DataType", "LookUp", "ValueType" and, for a field with a fixed
// choice, "ComBoxList" (the choices separated by tab characters).
//
// DataType says how values compare: 1 text, 2 number, 0 date, 8 a choice
// from the list. LookUp names the base-data list a value may be picked from
// (4 items, 1 customers, 7 units, 12 currencies, 0 none); ValueType tells
// codes (1) from names (2) and is kept as given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/dictionary.h"

namespace orva {

enum class FindValueKind { kText, kNumber, kDate, kChoice };

// What a criterion row asks of a field's value.
enum class FindOp {
    kContains,
    kNotContains,
    kEquals,
    kNotEqual,
    kBeginsWith,
    kEndsWith,
    kEmpty,
    kNotEmpty,
    kLess,
    kLessEqual,
    kGreater,
    kGreaterEqual,
    kBetween,
};

struct FindField {
    std::string caption;
    std::string column;
    int dataType = 1;
    int lookUp = 0;
    int valueType = 0;
    std::vector<std::string> choices;

    FindValueKind Kind() const;
};

// The fields of a family in its order. Missing keys give an empty caption or
// column and type 1 (text); a choice field without a list offers no choice.
std::vector<FindField> FieldsFromFamily(const std::vector<Dictionary>& family);

// The operators offered for a kind of value, the default first: text
// contains, does not contain, equals, not equal, begins with, ends with, is
// empty, is not empty; numbers and dates =, <>, <, <=, >, >=, between; a
// choice equals.
const std::vector<FindOp>& OperatorsFor(FindValueKind kind);
// How many typed values the operator takes: 0, 1 or 2 (between).
int ValuesOf(FindOp op);
// The operator's caption for a kind (the Chinese text, a translation key):
// "包含" for contains, "=" for a number's equals, "等于" for a text's.
std::string_view OperatorCaption(FindOp op, FindValueKind kind);

}  // namespace orva
