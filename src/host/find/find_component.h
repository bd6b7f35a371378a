// The find/filter/sort component registered under FFSFace::kProgID: shows a
// FindDialog through the host's user interface and runs the confirmed
// criteria on the given record set (find, filter, sort) or, with search all,
// on the whole company through a SearchAllSource.
//
// Find returns nothing when no record matches. Search all looks at the
// matching customers or items in code order: the first one whose ledger has
// matching entries is selected in the tree (its groups expanded) and its
// ledger and the positions of those entries are returned; running search all
// again with the same criteria goes on to the next one, and after the last
// starts over. When none has matching entries but one matches the criteria
// on its own fields, that one is selected and the positions are an empty
// collection; when nothing matches at all, the dialog says so and stays open.
// A database error is shown in a message box with the database's
// description; the dialog stays open.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "host/find/ffs_face.h"
#include "host/find/find_criteria.h"
#include "host/find/find_dialog.h"
#include "host/find/find_field.h"
#include "host/find/find_sort.h"
#include "host/find/search_all_source.h"

namespace orva {

// What the component remembers while the program runs: the last confirmed
// criteria and sort keys of each mode and field list, and where search all
// stands.
struct FindMemory {
    std::map<std::string, FindCriteria> criteria;
    std::map<std::string, std::vector<FindSortKey>> sortKeys;
    struct Cursor {
        std::string key;
        FindCriteria criteria;
        std::vector<std::int32_t> leaves;
        std::size_t next = 0;
    } searchAll;
};

class FindComponent : public FFSFace {
  public:
    FindComponent(std::shared_ptr<FindMemory> memory, std::shared_ptr<SearchAllSource> source);

    void SetFfsMode(std::int16_t mode) override { mode_ = mode; }
    void SetFfsFamily(std::vector<Dictionary> family) override { family_ = std::move(family); }
    void SetFfsSysPar(Dictionary sysPar) override { sysPar_ = std::move(sysPar); }
    void SetFfsRecordset(RecordsetPtr records) override { records_ = std::move(records); }
    void SetFfstvwBase(Tree* tree) override { tree_ = tree; }
    void Show() override;

    bool ReFfsOK() const override { return ok_; }
    RecordsetPtr ReFfsRecordset() const override { return result_; }
    std::shared_ptr<const FindPositions> ReFfsFdResult() const override { return found_; }

  private:
    bool SearchAll() const { return sysPar_.Exists("SearchOption"); }
    std::string MemoryKey(const std::vector<FindField>& fields) const;
    FindNotice RunOn(const std::vector<FindField>& fields, const FindCriteria& criteria,
                     const std::vector<FindSortKey>& keys);
    FindNotice RunSearchAll(const std::string& memoryKey, const FindCriteria& typed,
                            const CheckedCriteria& criteria);
    FindNotice SearchAllStatus() const;
    // Positions of the leaf's matching entries in its ledger.
    FindPositions MatchLeaf(const SearchAllRequest& request, std::int32_t id, RecordsetPtr& ledger);
    bool SelectLeaf(std::int32_t id);

    std::shared_ptr<FindMemory> memory_;
    std::shared_ptr<SearchAllSource> source_;
    std::int16_t mode_ = 0;
    std::vector<Dictionary> family_;
    Dictionary sysPar_;
    RecordsetPtr records_;
    Tree* tree_ = nullptr;

    bool ok_ = false;
    RecordsetPtr result_;
    std::shared_ptr<const FindPositions> found_;
};

}  // namespace orva
