// The rows an import did not write, back as a spreadsheet the user can fix
// and import again: the row's number in the original file, its cells as they
// were read under the file's own captions, and the reason in the session's
// language. And the template: a workbook with just the captions.
#pragma once

#include <cstdint>
#include <string>

#include "import/import_plan.h"

namespace orva::import {

// Whether the row is one the rejects file lists: refused, or below the
// floor and not chosen to be written.
bool Rejected(const PlannedRow& row);

// Writes the rejected rows of `plan` to `path` (.csv by its name, .xlsx
// otherwise) and answers how many; raises ComError when the file cannot be
// written.
std::int64_t WriteRejects(const ImportPlan& plan, const std::string& path);

// Writes a workbook (or CSV, by the name) holding only the captions an
// import reads, in the session's language.
void WriteTemplate(const std::string& path);

}  // namespace orva::import
