// Search all over the company database for the find component: the
// statements that find the customers or items with matching price entries,
// written with the group tree's data-rights fragments and the project's
// value helpers, and the ledger of a found one through the tree builder's
// own ledger query. RegisterFindComponent registers the find component
// under its ProgID with this source; the host application and tests call it
// once the host services are in place.
#pragma once

#include <string>
#include <string_view>

#include "host/find/search_all_source.h"

namespace orva {

class BrowseSearchAll : public SearchAllSource {
  public:
    std::vector<std::int32_t> MatchingLeaves(const SearchAllRequest& request) override;
    std::optional<std::int32_t> LeafMatchingOwnFields(const SearchAllRequest& request) override;
    RecordsetPtr LeafLedger(bool itemTree, std::int32_t id) override;
    RecordsetPtr LeafRecord(const SearchAllRequest& request, std::int32_t id) override;
    std::vector<std::int32_t> GroupPath(std::int32_t id) override;

    // The statement MatchingLeaves runs (for tests and benchmarks).
    static std::string MatchingLeavesSql(const SearchAllRequest& request);
    // One criterion as a condition on the search's aliases: `leafAlias` the
    // customer or item, u1 the price entry, t2 its unit, t3 its currency.
    // It states in SQL the rules the find component matches a ledger by
    // (host/find/find_criteria.h), so that both pick the same rows: text is
    // the typed value (CheckedCriterion::typed) matched literally through
    // LIKE with the escape character '!', Null as empty, blanks trimmed,
    // case and full-width forms folded by the database's own comparison
    // (which the find component's FoldText follows); a number or date
    // compares the stored value, Null matching nothing; a date is a day
    // whatever its time. The texts are the ones the module has always sent.
    static std::string Condition(const CheckedCriterion& criterion, bool shortNumber,
                                 std::string_view leafAlias);
};

// Registers "OrvaICFindFilterSort.FFSFace": a FindComponent over
// BrowseSearchAll, all instances sharing what the dialog remembers.
void RegisterFindComponent();

}  // namespace orva
