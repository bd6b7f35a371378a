// Stepping from record to record over the browse window's list: the rows of
// its ledger (data rows start at row 3, column 1 holds the entry ID) or the
// leaves of its group tree.
#include <string>

#include "editor/editor_messages.h"
#include "editor/frm_property.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/base/text_util.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"
#include "session/module_context.h"
#include "session/res_text.h"

namespace orva {

namespace {

constexpr int kFirstDataRow = 3;

// Leaves of the group tree are keyed "gb" and the record's ID; the root
// ("gc0") and the groups ("gi" and the group's ID) hold no record.
bool IsRecordNode(const std::string& key) {
    return key.size() > 2 && key.starts_with("gb") && key.find("gc") == std::string::npos;
}

}  // namespace

void frmProperty::Navigate(Step step) {
    const bool moved = tree_ ? StepTree(step) : ledger_ ? StepLedger(step) : false;
    if (!moved)
        return;
    UserDefInfo& engine = EngineRef();
    engine.SelItemID = itemID_;
    engine.SelCustID = custID_;
    engine.SelEntryID = entryID_;
    engine.Used(0);
    LoadRecord();
    newRecord_ = entryID_ == 0;
    SetToolbarAfterStep();
    dirty_ = false;
}

bool frmProperty::StepLedger(Step step) {
    Ledger& ledger = *ledger_;
    const int last = ledger.Rows();
    if (last < kFirstDataRow)
        return false;  // no data rows
    const int current = ledger.SelRow();
    int target = current;
    switch (step) {
        case kStepFirst:
            target = kFirstDataRow;
            break;
        case kStepLast:
            target = last;
            break;
        case kStepPrevious:
            if (current <= kFirstDataRow) {
                EditorDialog(ctx_, GetResText("提示"), GetResText("已经是第一条记录了!!!"));
                return false;
            }
            target = current - 1;
            break;
        case kStepNext:
            if (current >= last) {
                EditorDialog(ctx_, GetResText("提示"), GetResText("已经是最后一条记录了!!!"));
                return false;
            }
            target = current + 1;
            break;
    }
    ledger.SetSelRow(target);
    const std::string id(Trim(ledger.CellText(target, 1)));
    if (!id.empty())
        entryID_ = ValId(id);
    return true;
}

bool frmProperty::StepTree(Step step) {
    Tree& tree = *tree_;
    NodeId current = tree.Selected();
    if (current == kNoNode) {
        current = tree.Find("gb" + std::to_string(ctx_.g_CategoryByCust ? custID_ : itemID_));
    }
    if (current == kNoNode)
        return false;
    auto previousSibling = [&tree](NodeId node) {
        return node == kNoNode ? kNoNode : tree.Previous(node);
    };
    auto nextSibling = [&tree](NodeId node) { return node == kNoNode ? kNoNode : tree.Next(node); };
    auto parent = [&tree](NodeId node) { return node == kNoNode ? kNoNode : tree.Parent(node); };

    NodeId found = kNoNode;
    if (step == kStepPrevious) {
        if (tree.ChildCount(current) > 0) {
            found = tree.LastChild(tree.FirstChild(current));
        } else {
            found = previousSibling(current);
            if (found == kNoNode)
                found = previousSibling(parent(current));
            if (found == kNoNode)
                found = previousSibling(parent(parent(current)));
        }
    } else if (step == kStepNext) {
        if (tree.ChildCount(current) > 0) {
            found = tree.FirstChild(current);
        } else {
            found = nextSibling(current);
            if (found == kNoNode)
                found = nextSibling(parent(current));
            if (found == kNoNode)
                found = nextSibling(parent(parent(current)));
        }
    }
    if (found == kNoNode || !IsRecordNode(tree.Node(found).key))
        return false;

    const std::int32_t id = ValId(tree.Node(found).key.substr(2));
    if (ctx_.g_CategoryByCust)
        custID_ = id;
    else
        itemID_ = id;
    // A leaf is a customer or an item, not one of its entries: the window
    // opens a new entry for it, so that saving never moves the entry that
    // was shown to another customer or item.
    entryID_ = 0;
    tree.Select(found);
    return true;
}

}  // namespace orva
