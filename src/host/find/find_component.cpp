#include "host/find/find_component.h"

#include <exception>

#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/controls/tree.h"
#include "host/host_ui.h"

namespace orva {
namespace {

// Marks a text as a translation key; the dialog shows it localised.
constexpr const char* N_(const char* text) {
    return text;
}

bool SysFlag(const Dictionary& sysPar, std::string_view key) {
    return PassOver(
        [&] {
            const Variant v = sysPar.Value(key);
            return !v.IsNull() && v.ToBool();
        },
        false);
}

}  // namespace

bool IsLeafColumn(std::string_view column) {
    return EqualsNoCase(column, "FNumber") || EqualsNoCase(column, "FName") ||
           EqualsNoCase(column, "FModel");
}

FindComponent::FindComponent(std::shared_ptr<FindMemory> memory,
                             std::shared_ptr<SearchAllSource> source)
    : memory_(memory ? std::move(memory) : std::make_shared<FindMemory>()),
      source_(std::move(source)) {}

std::string FindComponent::MemoryKey(const std::vector<FindField>& fields) const {
    std::string key = std::to_string(mode_) + (SearchAll() ? "*" : "");
    for (const FindField& f : fields) key += "|" + f.column + ":" + f.caption;
    return key;
}

void FindComponent::Show() {
    ok_ = false;
    result_.reset();
    found_.reset();
    const std::vector<FindField> fields = FieldsFromFamily(family_);
    const std::string key = MemoryKey(fields);

    FindCriteria criteria;
    if (auto it = memory_->criteria.find(key); it != memory_->criteria.end())
        criteria = it->second;
    std::vector<FindSortKey> sortKeys;
    if (auto it = memory_->sortKeys.find(key); it != memory_->sortKeys.end())
        sortKeys = it->second;

    FindDialog dialog(mode_, SearchAll(), fields, criteria, sortKeys,
                      [&](const FindCriteria& c, const std::vector<FindSortKey>& k) {
                          return RunOn(fields, c, k);
                      });
    dialog.SetShortNumber(SysFlag(sysPar_, "UseShortNumber"));
    if (SearchAll() && memory_->searchAll.key == key)
        dialog.SetStatus(SearchAllStatus());
    CurrentUi().ShowModal(dialog);

    ok_ = dialog.Confirmed();
    if (ok_) {
        memory_->criteria[key] = dialog.Criteria();
        memory_->sortKeys[key] = dialog.SortKeys();
    } else {
        result_.reset();
        found_.reset();
    }
}

FindNotice FindComponent::RunOn(const std::vector<FindField>& fields, const FindCriteria& typed,
                                const std::vector<FindSortKey>& keys) {
    if (mode_ == FindDialog::kSort) {
        if (records_ && records_->IsOpen())
            result_ = SortRecords(*records_, fields, keys);
        return {};
    }
    auto checked = CheckCriteria(fields, typed);
    if (auto* error = std::get_if<FindCriteriaError>(&checked))
        return {error->key, error->row, error->value};
    const CheckedCriteria& criteria = std::get<CheckedCriteria>(checked);

    if (SearchAll())
        return RunSearchAll(MemoryKey(fields), typed, criteria);
    if (!records_ || !records_->IsOpen())
        return {};
    if (mode_ == FindDialog::kFilter) {
        result_ = FilterRecords(criteria, *records_);
    } else {
        FindPositions positions = FindMatches(criteria, *records_);
        if (!positions.empty())
            found_ = std::make_shared<const FindPositions>(std::move(positions));
        result_ = records_;
    }
    return {};
}

FindNotice FindComponent::SearchAllStatus() const {
    const FindMemory::Cursor& c = memory_->searchAll;
    if (c.leaves.empty())
        return {};
    const bool items = sysPar_.Value("SearchOption").ToText() == "10";
    return {items ? N_("符合条件的物料（已显示/共计）") : N_("符合条件的客户（已显示/共计）"), -1,
            std::to_string(c.next) + " / " + std::to_string(c.leaves.size())};
}

FindNotice FindComponent::RunSearchAll(const std::string& memoryKey, const FindCriteria& typed,
                                       const CheckedCriteria& criteria) {
    if (!source_)
        return {N_("没有可查找的数据"), -1, {}};
    SearchAllRequest request;
    request.itemTree = sysPar_.Value("SearchOption").ToText() == "10";
    request.shortNumber = SysFlag(sysPar_, "UseShortNumber");
    request.userID =
        PassOver([&] { return static_cast<std::int32_t>(sysPar_.Value("UserID").ToInteger()); }, 0);
    request.checkRights = SysFlag(sysPar_, "bNeedCheckItemRight");
    request.criteria = &criteria;

    try {
        FindMemory::Cursor& cursor = memory_->searchAll;
        std::vector<std::int32_t> leaves = source_->MatchingLeaves(request);
        std::size_t start = 0;
        if (cursor.key == memoryKey && cursor.criteria == typed && cursor.leaves == leaves)
            start = cursor.next % (leaves.empty() ? 1 : leaves.size());
        cursor = {memoryKey, typed, leaves, 0};

        for (std::size_t i = 0; i < leaves.size(); ++i) {
            const std::size_t at = (start + i) % leaves.size();
            RecordsetPtr ledger;
            FindPositions positions = MatchLeaf(request, leaves[at], ledger);
            if (positions.empty() || !SelectLeaf(leaves[at]))
                continue;
            cursor.next = at + 1;
            result_ = ledger;
            found_ = std::make_shared<const FindPositions>(std::move(positions));
            return {};
        }
        if (std::optional<std::int32_t> partial = source_->LeafMatchingOwnFields(request);
            partial && SelectLeaf(*partial)) {
            result_ = source_->LeafLedger(request.itemTree, *partial);
            found_ = std::make_shared<const FindPositions>();
            return {};
        }
        cursor.leaves.clear();
        return {
            request.itemTree ? N_("没有找到符合条件的物料") : N_("没有找到符合条件的客户"), -1, {}};
    } catch (const std::runtime_error& e) {
        CurrentUi().MessageBox(e.what(), MsgButtons::kOK, MsgIcon::kExclamation, "");
        return {N_("查找失败"), -1, e.what()};
    }
}

std::vector<long> MatchLeafLedger(const CheckedCriteria& criteria, const Recordset& ledger,
                                  const Recordset* own) {
    RowMatcher matcher(criteria, ledger);
    for (std::size_t i = 0; i < criteria.rows.size(); ++i) {
        const CheckedCriterion& c = criteria.rows[i];
        if (!IsLeafColumn(c.column))
            continue;
        bool hit = false;
        if (own && own->RecordCount() > 0) {
            const int ordinal = own->ColumnIndex(c.column);
            hit = ordinal >= 0 && c.Matches(own->Cell(0, ordinal));
        }
        matcher.Fix(i, hit);
    }
    std::vector<long> positions;
    const long count = ledger.RecordCount();
    for (long row = 0; row < count; ++row) {
        if (matcher.Matches(row))
            positions.push_back(row + 1);
    }
    return positions;
}

FindPositions FindComponent::MatchLeaf(const SearchAllRequest& request, std::int32_t id,
                                       RecordsetPtr& ledger) {
    ledger = source_->LeafLedger(request.itemTree, id);
    if (!ledger || !ledger->IsOpen())
        return {};
    RecordsetPtr own = source_->LeafRecord(request, id);
    return MatchLeafLedger(*request.criteria, *ledger, own.get());
}

bool FindComponent::SelectLeaf(std::int32_t id) {
    if (!tree_)
        return false;
    if (NodeId root = tree_->Find("gc0"))
        tree_->Expand(root);
    for (std::int32_t group : source_->GroupPath(id)) {
        if (NodeId node = tree_->Find("gi" + std::to_string(group)))
            tree_->Expand(node);
    }
    const NodeId leaf = tree_->Find("gb" + std::to_string(id));
    if (leaf == kNoNode)
        return false;
    tree_->Select(leaf);
    return true;
}

}  // namespace orva
