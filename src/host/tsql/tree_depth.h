// The depth check the translator makes before it walks a batch: its walks
// recurse once per level of the syntax tree, so a tree deeper than the stack
// can take is refused with an error instead of crashing the process.
#pragma once

#include "host/base/nesting_depth.h"
#include "host/tsql/ast.h"

namespace orva::tsql {

// Levels of syntax tree the translator takes. The parser refuses text nested
// more than NestingDepth::kMaxLevels deep, and each of its levels adds at
// most three nodes (a comparison, a parenthesis, the expression inside), so
// any tree it builds passes; a tree built some other way is held to the same.
constexpr int kMaxTreeDepth = 4 * NestingDepth::kMaxLevels;

// Throws TsqlError naming the offset of the first node below the limit.
// Walks the tree without recursion.
void CheckTreeDepth(const Batch& batch, int maxDepth = kMaxTreeDepth);

}  // namespace orva::tsql
