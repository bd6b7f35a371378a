// Browse window tests on a fresh copy of the demo company: logged on as one
// of its users with the shared connection open (as CustFace leaves it), a
// scripted user, an empty in-memory settings store, the slots every default
// CustFace shares emptied before and after, and a stand-in for the record
// editor that records what the browse window asked of it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browse/base_detail.h"
#include "browse/browse_base.h"
#include "browse/editor_launcher.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/controls/ledger.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/enums.h"
#include "session/module_context.h"
#include "session/session.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva {

// What the browse window passed to the editor, and the ledger row selected
// while it was open.
struct EditorCall {
    EditorRequest request;
    int selRow = 0;
};

// The editor window's stand-in: shown modally through the user interface
// like the real one, closed by the scripted user.
class StandInEditor : public ModalWindow {
  public:
    std::string WindowName() const override { return "frmProperty"; }
};

class BrowseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        ctx_->g_ShowMode = showedit;
        ctx_->g_ReturnType = ReturnItem;
        ctx_->g_CategoryByCust = true;
        settings_ = std::make_shared<MemorySettingsStore>();
        SetCurrentSettings(settings_);
        SetEditorLauncher(*ctx_, [this](const EditorRequest& r) {
            editorCalls_.push_back({r, r.ldg ? r.ldg->SelRow() : 0});
            StandInEditor editor;
            CurrentUi().ShowModal(editor);
        });
        LogOn(demo::kAdminUserId);
    }

    void TearDown() override { window_.reset(); }

    void LogOn(int userId, const std::string& subId = "ic") {
        session_.reset();
        session_ = std::make_unique<test::ScopedSession>(company_.path(), userId, subId);
        ctx_->g_Connection = std::make_shared<AppConnection>();
        // The module parses the session as Show does.
        InitSessionProps(*ctx_, session_->propsString());
    }

    // A loaded window, as CustFace::Show has it before showing it.
    BrowseBase& Open() {
        window_ = std::make_unique<BrowseBase>(*ctx_);
        window_->Load();
        return *window_;
    }

    RecordsetPtr Query(const std::string& sql) { return ctx_->g_Connection->Execute(sql); }
    Variant Scalar(const std::string& sql) {
        RecordsetPtr rs = Query(sql);
        return rs->EOF_() ? Variant() : rs->Fields(0).Value();
    }
    std::int64_t Count(const std::string& sql) { return Scalar(sql).ToInteger(); }

    // Clicks the tree node with the key, expanding its ancestors first.
    NodeId ClickNode(BrowseBase& w, const std::string& key) {
        NodeId node = w.tvwBase().Find(key);
        EXPECT_NE(node, kNoNode) << key;
        if (node != kNoNode)
            w.tvwBase().UserClick(node);
        return node;
    }
    // Expands the path to a customer (customer tree) or item (item tree)
    // through the tree, as a user would, and clicks its leaf.
    NodeId ClickLeaf(BrowseBase& w, std::int32_t id) {
        std::vector<std::int32_t> path;
        for (std::int32_t p = ParentOf(id); p != 0; p = ParentOf(p)) path.insert(path.begin(), p);
        w.tvwBase().UserExpand(w.tvwBase().Find("gc0"));
        for (std::int32_t g : path)
            w.tvwBase().UserExpand(w.tvwBase().Find("gi" + std::to_string(g)));
        return ClickNode(w, "gb" + std::to_string(id));
    }
    std::int32_t ParentOf(std::int32_t id) {
        return static_cast<std::int32_t>(
            Scalar("SELECT FParentID FROM t_Item WHERE FItemID=" + std::to_string(id)).ToInteger());
    }

    // The ledger row (3 and on) whose column 1 holds the entry, 0 when none.
    int RowOf(BrowseBase& w, std::int32_t entryID) {
        for (int r = 3; r <= w.ldgBase().Rows(); ++r) {
            if (w.ldgBase().CellText(r, 1) == std::to_string(entryID))
                return r;
        }
        return 0;
    }
    void SelectRow(BrowseBase& w, int row) { w.ldgBase().UserClick(row, 2); }

    // A customer at depth 3 (region, sub-region, customer) with at least
    // `entries` price entries, and one of them.
    std::int32_t DeepCustomer(int entries) {
        return static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 o.FItemID FROM t_Organization o INNER JOIN t_Item i ON "
                   "i.FItemID=o.FItemID WHERE i.FLevel=3 AND (SELECT COUNT(*) FROM t_CustEntry e "
                   "INNER JOIN t_ICItem t ON t.FItemID=e.FItemID WHERE e.FCustID=o.FItemID AND "
                   "t.FErpClsID NOT IN (6,8))>=" +
                   std::to_string(entries) + " ORDER BY o.FNumber")
                .ToInteger());
    }

    test::TempCompany company_;
    std::unique_ptr<test::ScopedSession> session_;
    ScriptedUiScope ui;
    std::shared_ptr<MemorySettingsStore> settings_;
    std::vector<EditorCall> editorCalls_;
    // Shared: the tests also show the window through CustFace(), as a host does.
    test::TestContext ctx_{test::TestContext::Slots::kShared};
    std::unique_ptr<BrowseBase> window_;
};

}  // namespace orva
