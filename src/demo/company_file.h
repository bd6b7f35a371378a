// Building a company database file safely: under a temporary name beside
// the target, published under the target name only when complete, never over
// an existing file.
#pragma once

#include <functional>
#include <string>

#include "demo/sqlite_writer.h"

namespace orva::demo {

// Throws GeneratorError when `path` is empty, already exists, or its folder
// does not exist.
void CheckNewCompanyPath(const std::string& path);

// Creates the schema's tables, runs `fill` inside one transaction, creates the
// indexes (after the rows, which is faster for large tables), optionally runs
// ANALYZE, and publishes the file under `path`. On any failure the temporary
// file is removed and the error passed on.
void BuildCompanyFile(const std::string& path, const std::function<void(SqliteFile&)>& fill,
                      bool analyze);

}  // namespace orva::demo
