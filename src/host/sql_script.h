// Script text as a command-line SQL tool reads it: batches separated by lines
// reading GO, and record sets printed as tab-separated lines.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "orvasaleprice/recordset.h"

namespace orva {

struct SqlBatch {
    std::string text;  // the lines of the batch, as written
    int firstLine;     // 1-based line of the script where the batch starts
};

// True for a line that reads GO alone (any case, blanks around it allowed).
bool IsGoLine(std::string_view line);

// Splits a script at GO lines. The separators are not part of any batch;
// batches holding nothing but blanks are left out.
std::vector<SqlBatch> SplitGoBatches(std::string_view script);

// Writes a record set: a line of the column names, then one line per row of
// its current view, fields separated by a tab, Null as NULL, numbers in
// shortest form, dates yyyy-mm-dd. The record set's position is not moved.
void WriteRecordset(std::ostream& out, const Recordset& rs);

}  // namespace orva
