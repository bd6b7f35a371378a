// The browse window's tree: mouse down, expand, collapse and node click, the
// ledger load of a leaf with its timing, the preselected customer or item,
// and switching between the customer tree and the item tree.
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

#include "browse/browse_base.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {
namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The text without its last character (a whole UTF-8 sequence).
std::string_view DropLastChar(std::string_view text) {
    if (text.empty())
        return text;
    std::size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// Format "#.00": two decimals (halves rounded away from zero), no digit
// before the point below one.
std::string FormatHashDot00(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", std::round(value * 100) / 100);
    std::string s = buf;
    if (s.rfind("0.", 0) == 0)
        s.erase(0, 1);
    else if (s.rfind("-0.", 0) == 0)
        s.erase(1, 1);
    return s;
}

}  // namespace

std::string PassTimeText(double seconds) {
    if (seconds > 1)
        return FormatHashDot00(seconds) + " " + GetResText("秒");
    return FormatHashDot00(seconds * 1000) + GetResText("毫秒");
}

void BrowseBase::TreeMouseDown(int button) {
    treeButton_ = button;
}

void BrowseBase::TreeExpand(NodeId node) {
    if (!builder_ || !tree_.Exists(node))
        return;
    std::optional<TreeNodeKey> key = ParseTreeNodeKey(tree_.Node(node).key);
    if (!key || key->kind == TreeNodeKey::kLeaf)
        return;  // leaves have no children; a key that does not parse names nothing
    builder_->SetTreeView(key->id);
}

void BrowseBase::TreeCollapse(NodeId node) {
    // A collapse is a click on the collapsed node: it becomes the selected
    // node, so that the commands enabled and the ledger shown are its own,
    // not those of a leaf the collapse has just hidden.
    if (!tree_.Exists(node))
        return;
    tree_.Select(node);
    NodeClick(node);
}

void BrowseBase::NodeClick(NodeId node) {
    PassOver([&] { SetMenuAndBar(); });
    if (treeButton_ == kRightButton && menus_.Item("mnuBatchOperate").enabled)
        menus_.PopUp("mnuBatchOperate");
    if (!tree_.Exists(node) || !detail_ || !builder_)
        return;
    const std::string key = tree_.Node(node).key;
    if (key == lastNodeKey_ || busy_)
        return;
    lastNodeKey_ = key;
    busy_ = true;
    SetPointer(PointerShape::kHourglass);
    const double start = clock_();

    PassOver([&] { ShowNodeTitles(node); });
    PassOver([&] {
        if (Contains(key, "gb"))
            LoadLeaf(key);
        else
            detail_->ShowGroup();
    });
    PassOver([&] { RepaintRows(); });
    PassOver([&] {
        statusBar_.SetPanelText("Passtime",
                                GetResText("取数据时间:") + " " + PassTimeText(clock_() - start));
    });
    PassOver([&] { SetTitleItem(node); });

    SetPointer(PointerShape::kDefault);
    busy_ = false;
    Changed();
}

void BrowseBase::ShowNodeTitles(NodeId node) {
    const std::string& text = tree_.Node(node).text;
    const std::size_t open = text.find('(');
    if (open == std::string::npos || !Contains(text, ")"))
        return;
    std::string_view inner = DropLastChar(std::string_view(text).substr(open + 1));
    ledger_.SetTextline(1, std::string(inner) + GetResText("价格信息"));
}

void BrowseBase::LoadLeaf(std::string_view key) {
    bool result = false;
    detail_->TakeJournalData(builder_->GetDetailSql(key.substr(2)), nullptr, result);
    ledger_.SetRedraw(true);
}

void BrowseBase::SetTitleItem(NodeId node) {
    titleItem_ = GetResText("对[") + tree_.Node(node).text + GetResText("]  的售价信息--共计：") +
                 std::to_string(ledger_.Rows() - BaseDetail::kTitleRows) + GetResText("条记录");
}

void BrowseBase::SelectFirstNode() {
    // The ledger loses the entries it showed before, whatever node 1 is.
    if (tree_.Count() > 0) {
        const NodeId first = tree_.NodeAt(1);
        tree_.Select(first);
        const std::string& key = tree_.Node(first).key;
        if (Contains(key, "gb"))
            LoadLeaf(key);
        else
            detail_->ShowGroup();
    } else {
        detail_->ShowGroup();
        ledger_.SetCols(2);
    }
    RepaintRows();
}

// --- Preselection -----------------------------------------------------------

void BrowseBase::Preselect() {
    const bool itemTree = ItemTree();
    const std::int32_t id = itemTree ? ctx_.g_SelICItemID : ctx_.g_SelCustID;
    if (id != 0) {
        bool located = false;
        PassOver([&] { located = LocateNode(id); });
        if (located) {
            const NodeId node = tree_.Selected();
            PassOver([&] { ShowNodeTitles(node); });
            lastNodeKey_ = tree_.Node(node).key;
            Refresh();
            PassOver([&] { SetTitleItem(node); });
            PassOver([&] { SetMenuAndBar(); });
            Changed();
        }
    }
    if (ctx_.g_SelCustID != 0 && ctx_.g_SelICItemID != 0) {
        PassOver([&] {
            RecordsetPtr rs = ctx_.Connection().Execute(
                "SELECT FEntryID FROM t_CustEntry Where FCustID=" + SqlId(ctx_.g_SelCustID) +
                " And FItemID=" + SqlId(ctx_.g_SelICItemID));
            if (rs->EOF_())
                return;
            SelectEntryRow(static_cast<std::int32_t>(rs->Fields("FEntryID").Value().ToInteger()));
        });
    }
}

bool BrowseBase::LocateNode(std::int32_t id) {
    const std::string table = ItemTree() ? "t_ICItem" : "t_Organization";
    RecordsetPtr rs = ctx_.Connection().Execute(
        "select FLevel,t1.FItemID,t1.FParentID from " + table +
        " t1  inner join t_Item t2 on t1.FItemID=t2.FItemID where t1.FItemID=" + SqlId(id));
    if (rs->EOF_())
        return false;  // no such customer or item
    const std::int64_t level = rs->Fields("FLevel").Value().ToInteger();
    const std::int32_t parent =
        static_cast<std::int32_t>(rs->Fields("FParentID").Value().ToInteger());

    if (NodeId root = tree_.Find(tvwBuilder::kRootKey))
        PassOver([&] { tree_.Expand(root); });

    if (level >= 2 && parent != 0) {
        // The groups from the leaf's parent up to the top-level group.
        std::vector<std::int32_t> groups{parent};
        std::int32_t current = parent;
        for (std::int64_t depth = level - 1; depth > 1; --depth) {
            RecordsetPtr up = ctx_.Connection().Execute(
                "select FParentID from t_Item where FItemID='" + SqlId(current) + "'");
            if (up->EOF_())
                break;
            current = static_cast<std::int32_t>(up->Fields("FParentID").Value().ToInteger());
            if (current == 0)
                break;
            groups.push_back(current);
        }
        for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
            if (NodeId group = tree_.Find("gi" + SqlId(*it)))
                PassOver([&] { tree_.Expand(group); });
        }
    }

    const NodeId leaf = tree_.Find("gb" + SqlId(id));
    if (leaf == kNoNode)
        return false;  // a customer or item the user may not see
    tree_.Select(leaf);
    return true;
}

void BrowseBase::SelectEntryRow(std::int32_t entryID) {
    const Recordset* rs = detail_ ? detail_->Records().get() : nullptr;
    if (!rs || !rs->IsOpen() || ledger_.Cols() < 1)
        return;
    const int col = rs->ColumnIndex("FEntryID");
    if (col < 0)
        return;
    // Data row r shows record r - 3 of the ledger's record set, so the first
    // record with the id gives the first ledger row whose column 1 holds it.
    const long count = rs->RecordCount();
    const long rows = ledger_.Rows() - BaseDetail::kTitleRows;
    for (long i = 0; i < count && i < rows; ++i) {
        const Variant& cell = rs->Cell(i, col);
        if (!cell.IsNull() && cell.IsNumber() && cell.ToInteger() == entryID) {
            const int row = static_cast<int>(i) + BaseDetail::kTitleRows + 1;
            ledger_.SetCol(1);
            ledger_.SetRow(row);
            ledger_.SetSelRow(row);
            return;
        }
    }
}

// --- Switching trees ------------------------------------------------------

void BrowseBase::SwitchTree(bool toItemTree) {
    if (menus_.Item(toItemTree ? "mnuVBaseICItem" : "mnuVBaseSalePrice").checked)
        return;
    PassOver([&] {
        ledger_.Clear();
        const int c = ledger_.Cols();
        for (int col :
             toItemTree ? std::vector<int>{c - 4, c - 5} : std::vector<int>{c - 2, c - 3}) {
            if (col >= 1)
                ledger_.SetColHidden(col, false);
        }
    });
    ctx_.g_CategoryByCust = !toItemTree;
    PassOver([&] { detail_->GetTitleInfo(toItemTree); });
    PassOver([&] { SaveColumnSettings(); });
    menus_.SetChecked("mnuVBaseICItem", toItemTree);
    menus_.SetChecked("mnuVBaseSalePrice", !toItemTree);

    tree_.SetVisible(false);
    SetPointer(PointerShape::kHourglass);
    PassOver([&] {
        builder_->SetCategoryByItem(toItemTree);
        builder_->SetTreeView(-1);
    });
    PassOver([&] { SelectFirstNode(); });
    PassOver([&] { detail_->SetByItem(toItemTree); });
    // The titles named the other tree's node, and the ledger now shows no
    // node's entries: a click on any node, the one shown before the switch
    // included, loads its ledger.
    titleItem_.clear();
    lastNodeKey_.clear();
    PassOver([&] { ledger_.SetTextline(1, ""); });

    SetPointer(PointerShape::kDefault);
    tree_.SetVisible(true);
    PassOver([&] { RestoreColumnSettings(); });
    PassOver([&] { detail_->MergeAction(); });
    PassOver([&] { SetMenuAndBar(); });
    Changed();
}

}  // namespace orva
