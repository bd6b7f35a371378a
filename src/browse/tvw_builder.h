// tvwBuilder fills the browse window's group tree and builds the ledger query
// of a tree leaf.
//
// The tree shows either the customer groups with their customers (the
// customer tree) or the item groups with their items (the item tree). The
// whole group list is read once per rebuild; nodes are then created one
// level at a time, when a node is first expanded: its groups by filtering
// the group list in memory, its leaves by the leaf list statement limited to
// that parent (same rights fragments and order), so that opening a large
// company reads only the leaves of the nodes it shows. A node that has not been expanded yet
// holds one placeholder child (no key, no text) so that it shows an expand
// sign.
//
// Node keys: "gc0" the root, "gi<FItemID>" a group, "gb<FItemID>" a customer
// or item (a leaf). Images: 1 closed group, 2 open group, 3 leaf.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/db/price_history_asof.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"
#include "session/rights_filter.h"

namespace orva {

class Tree;

// What a tree node key names.
struct TreeNodeKey {
    enum Kind { kRoot, kGroup, kLeaf };
    Kind kind = kRoot;
    std::int32_t id = 0;  // 0 for the root
};

// "gc0", "gi12", "gb1005" -> kind and id. Nothing for a key of another
// prefix, without digits after the prefix, with anything but decimal digits
// there, or with a value outside 32 bits.
std::optional<TreeNodeKey> ParseTreeNodeKey(std::string_view key);

class tvwBuilder {
  public:
    static constexpr const char* kRootKey = "gc0";
    static constexpr int kImageGroup = 1;
    static constexpr int kImageGroupOpen = 2;
    static constexpr int kImageLeaf = 3;

    explicit tvwBuilder(ModuleContext& ctx) : ctx_(ctx) {}

    // The tree to fill; not owned.
    void SetTvwGroup(Tree* tree) { tvwGroup_ = tree; }
    Tree* tvwGroup() const { return tvwGroup_; }

    // True builds the item tree, false the customer tree.
    bool CategoryByItem() const { return categoryByItem_; }
    void SetCategoryByItem(bool byItem) { categoryByItem_ = byItem; }

    // -1 rebuilds the whole tree: clears it, reads the group list and adds
    // the root with its placeholder. 0 (the root) or a group's id creates that
    // node's children when they have not been created yet: the groups first,
    // then the leaves, each in code order. Failing statements leave their
    // list as it was; a node that cannot be added is skipped.
    void SetTreeView(std::int32_t parentID);

    // The ledger statement for the leaf whose id is `ID` (the key's text after
    // "gb"). Built from the user's data rights as they are now (every
    // statement reads them anew) and the context's g_UseShortNumber and g_CallByBill as they
    // are now. An ID that is not a decimal number is written as NULL, so the
    // statement lists nothing.
    std::string GetDetailSql(std::string_view ID);

    // Who a statement is built for.
    struct RightsContext {
        std::int32_t userID = 0;
        bool filtered = true;  // the data-rights fragments are added
        bool groupLevelCustomers = false;
        bool groupLevelItems = false;
    };
    // The current user's, read anew on each call; what cannot be read counts
    // against the user (filtered, user 0, who holds no rights).
    static RightsContext ReadRights(ModuleContext& ctx);
    // The data-rights fragment of the tree's own records on alias t1: the
    // item class's in the item tree, the customer class's in the customer
    // tree, each group-level or not as the user's rights for that class are.
    static RightsFilter TreeRights(bool byItem, const RightsContext& rights);
    // The FROM and WHERE fragments of the ledger statement of the item tree
    // (byItem) or the customer tree, for the leaf written as `leaf` (an id,
    // or a column of an outer statement): exactly the rows the ledger may
    // show that user. Aliases: u1 the price entry, t1 its item, v1 its
    // customer, u2 the customer-item header row, t2 the unit, t3 the price
    // currency, u3 and u4 the minimum price's currencies. Called from a sales
    // bill (the context's g_CallByBill), only audited entries in force today.
    // `tables` names what u1 and u2 read (the ledger as of a day reads
    // derived tables in their place).
    static std::string LedgerFromWhere(bool byItem, bool callByBill, const std::string& leaf,
                                       const RightsContext& rights,
                                       const LedgerTables& tables = {});
    // The condition ("AND ...", on the aliases above) that keeps the entries
    // under `node` of that tree when the leaf column is compared with itself:
    // "" at the root, the leaf's ID, or every customer or item whose code lies
    // below the group's. Nothing when the node names no group the company
    // holds. Reads the group's code through the context's connection.
    static std::optional<std::string> NodeCondition(ModuleContext& ctx, bool byItem,
                                                    const TreeNodeKey& node);
    // The whole ledger statement GetDetailSql sends, for a leaf written as
    // `leaf` as above, codes short or full as asked.
    static std::string DetailSql(bool byItem, bool shortNumber, bool callByBill,
                                 const std::string& leaf, const RightsContext& rights,
                                 const LedgerTables& tables = {});

    // The statements of the two lists: the group list as SetTreeView(-1)
    // runs it, the whole leaf list, and the leaves under one parent (0 the
    // root) as an expansion runs it.
    std::string GroupListSql();
    std::string LeafListSql();
    std::string LeafListSql(std::optional<std::int32_t> parentID);

    // The group list of the last rebuild and the leaf list of the last
    // expansion (null before the first successful one).
    const RecordsetPtr& GroupList() const { return groups_; }
    const RecordsetPtr& LeafList() const { return leaves_; }

  private:
    ModuleContext& ctx_;

    void Rebuild();
    void Expand(std::int32_t parentID);
    void AddNodes(Recordset& list, std::int32_t parentID, bool groups);
    // For a user whose data rights apply: the joins and conditions that keep
    // the tree's rows to those the user may see.
    void AddTreeRights(std::string& from, std::string& where) const;

    Tree* tvwGroup_ = nullptr;
    bool categoryByItem_ = false;
    RecordsetPtr groups_;
    RecordsetPtr leaves_;
};

}  // namespace orva
