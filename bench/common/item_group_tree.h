// A company whose items hang in a deep tree of groups, and the detail-member
// walk the module runs over it, for the walk's benchmarks on each engine.
#pragma once

#include <string>

namespace orva::bench {

// The root group of the tree.
inline constexpr int kTreeRoot = 1;

// Writes an empty company with the item tree: the root, then 4, 20, 75 and
// 400 groups on levels 2 to 5 (500 in all), each under a group of the level
// above, and `items` items spread over all groups (IDs from 100,000). When
// `rightsUser` is not 0, that user holds the group-level right on every
// second group.
void CreateItemGroupTree(const std::string& path, int items, int rightsUser = 0);

// The text of the walk of GetDetailItem from `group`: the members under it,
// in ID order; with `rights`, only those under groups `user` holds a right
// on.
std::string DetailWalkText(int group, bool rights = false, int user = 0);

}  // namespace orva::bench
