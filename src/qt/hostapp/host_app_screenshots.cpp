#include "qt/hostapp/host_app_screenshots.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <cmath>
#include <vector>

#include "browse/browse_base.h"
#include "browse/frm_adjust_prices.h"
#include "browse/import_preview.h"
#include "browse/tvw_builder.h"
#include "editor/frm_property.h"
#include "engine/engine_values.h"
#include "engine/price_entry.h"
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/db/db_backend.h"
#include "host/find/find_dialog.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"
#include "qt/controls/ledger_model.h"
#include "qt/controls/ledger_view.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/message_dialog_view.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/print/ledger_preview_dialog.h"
#include "qt/print/qt_export.h"
#include "qt/windows/import_preview_view.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva::qt {
namespace {

using R = UserDefInfo::Row;

constexpr int kTickMs = 40;
// Ticks a window must stay on top before the tour acts on it, so that it has
// been laid out and painted.
constexpr int kSettleTicks = 4;

RecordsetPtr FirstSet(DbBackend& db, const std::string& sql) {
    BatchResult r = db.ExecuteBatch(sql);
    return r.recordsets.empty() ? nullptr : r.recordsets.front();
}

std::int32_t FirstId(DbBackend& db, const std::string& sql) {
    RecordsetPtr rs = FirstSet(db, sql);
    if (!rs || rs->EOF_())
        return 0;
    return static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
}

// The module window shown in `top`, when it is the one named.
template <class W>
W* WindowIn(QWidget* top, const char* name) {
    auto* dialog = qobject_cast<ModalWindowDialog*>(top);
    if (!dialog || dialog->window().WindowName() != name)
        return nullptr;
    return dynamic_cast<W*>(&dialog->window());
}

bool IsBrowse(QWidget* top) {
    return WindowIn<BrowseBase>(top, "BrowseBase") != nullptr;
}
bool IsEditor(QWidget* top) {
    return WindowIn<frmProperty>(top, "frmProperty") != nullptr;
}
bool IsLowPrice(QWidget* top) {
    return WindowIn<ModalWindow>(top, "frmSELowPrice") != nullptr;
}
bool IsFindDialog(QWidget* top) {
    return WindowIn<FindDialog>(top, FindDialog::kWindowName) != nullptr;
}
bool IsPreview(QWidget* top) {
    return qobject_cast<LedgerPreviewDialog*>(top) != nullptr;
}
bool IsExportDialog(QWidget* top) {
    return qobject_cast<QFileDialog*>(top) && top->objectName() == QtExport::kDialogName;
}
bool IsAdjust(QWidget* top) {
    return WindowIn<frmAdjustPrices>(top, frmAdjustPrices::kWindowName) != nullptr;
}

bool IsImportPreview(QWidget* top) {
    return WindowIn<ModalWindow>(top, ImportPreview::kWindowName) != nullptr;
}

bool IsMessage(QWidget* top) {
    return qobject_cast<MessageDialogView*>(top) || qobject_cast<QMessageBox*>(top);
}

// Opens the tree down to a customer's or item's leaf and clicks it, as the
// user would: the root, then each group from the top.
void ClickLeaf(BrowseBase& w, const char* table, std::int32_t id) {
    if (id == 0)
        return;
    AppConnection& db = ModuleContext::InForce().Connection();
    std::vector<std::int32_t> groups;
    RecordsetPtr rs =
        db.Execute(std::string("SELECT FParentID FROM ") + table + " WHERE FItemID=" + SqlId(id));
    auto parentOf = [](const RecordsetPtr& r) {
        return r->EOF_() ? 0 : static_cast<std::int32_t>(r->Fields(0).Value().ToInteger());
    };
    std::int32_t parent = parentOf(rs);
    while (parent != 0 && groups.size() < 64) {
        groups.push_back(parent);
        rs = db.Execute("SELECT FParentID FROM t_Item WHERE FItemID=" + SqlId(parent));
        parent = parentOf(rs);
    }
    Tree& tree = w.tvwBase();
    if (NodeId root = tree.Find(tvwBuilder::kRootKey); root && !tree.Expanded(root))
        tree.UserExpand(root);
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        if (NodeId group = tree.Find("gi" + SqlId(*it)); group && !tree.Expanded(group))
            tree.UserExpand(group);
    }
    if (NodeId leaf = tree.Find("gb" + SqlId(id)))
        tree.UserClick(leaf);
}

// Types into a grid cell as the user does: move there, type, move on (the
// cell-leave check runs).
void TypeCell(frmProperty& e, int row, const std::string& text, int nextRow) {
    Spread& grid = e.vaSProperty();
    grid.UserMoveTo(UserDefInfo::kColText, row);
    std::string kept;
    for (char c : text) {
        if (e.FormKeyPress(static_cast<unsigned char>(c)) != 0)
            kept += c;
    }
    grid.TypeText(UserDefInfo::kColText, row, kept);
    grid.UserMoveTo(UserDefInfo::kColText, nextRow);
}

// Whether saving the editor's grid now is certain to stop at the minimum
// price question: the option asks for it and the price per base unit in the
// base currency is clearly under the floor.
bool SaveStopsAtQuestion(frmProperty& e) {
    if (e.AlertOption() != 1)
        return false;
    const Spread& grid = e.vaSProperty();
    const PriceEntry entry =
        ReadPriceEntry([&grid](int row) { return grid.GetText(UserDefInfo::kColValue, row); });
    const std::optional<double> price = ParseNumber(entry.price);
    if (!price || *price <= 0)
        return false;
    PriceStore store(ModuleContext::InForce().Connection());
    PriceStore::FloorQuery query;
    query.custID = ValId(entry.custID);
    query.itemID = ValId(entry.itemID);
    // "Clearly" under: a tenth below the floor, so the planner never waits
    // for a question the save does not ask.
    query.basePrice = store.BasePrice(entry) / 0.9;
    query.unitID = entry.unitID;
    query.coefficientFirst = true;
    return query.basePrice > 0 && store.CheckFloor(query).kind == PriceOutcome::kBelowFloor;
}

// The import's file dialog answered by the tour: a small price list of the
// customer, one row of each kind the preview tells apart.
class TourImportFiles : public ImportFiles {
  public:
    explicit TourImportFiles(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> ChooseSource() override { return path_; }
    std::optional<std::string> ChooseTarget(const std::string&) override { return std::nullopt; }
    std::optional<std::string> ChooseSheet(const std::vector<std::string>& sheets) override {
        return sheets.front();
    }

  private:
    std::string path_;
};

QString WriteSamplePriceList(const ScreenshotPlan& plan) {
    const QString path = QDir::temp().filePath(QStringLiteral("orva-tour-prices.csv"));
    const std::string item = plan.floorItemCode.empty() ? "01.01.001" : plan.floorItemCode;
    const std::string below = plan.floorItemPrice.empty() ? "1" : plan.floorItemPrice;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        // The ledger's captions, as an export of it writes them.
        const std::string text =
            std::string(N_("物料代码")) + "," + N_("销货量(从)") + "," + N_("销货量(到)") + "," +
            N_("报价") + "," + N_("生效日期") + "," + N_("失效日期") + "," + N_("备注") + "\r\n" +
            item + ",5000,5999,99999,2025-01-01,2100-01-01,\r\n" + item + ",6000,6999," + below +
            ",2025-01-01,2100-01-01,\r\n" + "09.99.999,0,0,10,,,\r\n" + item + ",10,1,10,,,\r\n" +
            item + ",0,0,10,2025-06-01,2025-01-01,\r\n";
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    return path;
}

// The price among the find dialog's fields in the customer tree (after the
// item's code, name and model, the unit and the currency).
constexpr int kPriceField = 5;

// One criterion on the price, as the user picks and types it.
void FillPriceCriterion(FindDialog& d, FindOp op, const std::string& value) {
    d.SetField(0, kPriceField);
    d.SetOperator(0, op);
    d.SetValue(0, value);
}

// Brings the ledger's first marked row (an entry that overlaps another) into
// view, selects it and shows its tool tip as the mouse over its code would.
// Nothing when no row is marked.
void ShowFirstOverlap(BrowseBase& w, QWidget* top) {
    Ledger& ledger = w.ldgBase();
    auto* view = top->findChild<LedgerView*>();
    for (int row = 3; view && row <= ledger.Rows(); ++row) {
        if (!ledger.RowMarked(row))
            continue;
        ledger.UserClick(row, 2);
        const QModelIndex index = view->model()->index(LedgerModel::ModelRow(row), 1);
        view->scrollTo(index, QAbstractItemView::PositionAtCenter);
        const QPoint at = view->visualRect(index).center() + QPoint(0, 8);
        QToolTip::showText(view->viewport()->mapToGlobal(at),
                           index.data(Qt::ToolTipRole).toString(), view->viewport());
        return;
    }
}

}  // namespace

ScreenshotPlan PlanScreenshots(DbBackend& db) {
    ScreenshotPlan plan;
    // A customer deep in the groups shows the tree opened; the busiest one
    // of any level when there is none.
    plan.customerID = FirstId(db,
                              "SELECT TOP 1 e.FCustID FROM t_CustEntry e INNER JOIN "
                              "t_Organization o ON o.FItemID=e.FCustID WHERE o.FNumber LIKE "
                              "'%.%.%' GROUP BY e.FCustID ORDER BY COUNT(*) DESC, e.FCustID");
    if (plan.customerID == 0) {
        plan.customerID = FirstId(db,
                                  "SELECT TOP 1 FCustID FROM t_CustEntry GROUP BY FCustID "
                                  "ORDER BY COUNT(*) DESC, FCustID");
    }
    plan.itemID = FirstId(db,
                          "SELECT TOP 1 FItemID FROM t_CustEntry GROUP BY FItemID "
                          "ORDER BY COUNT(*) DESC, FItemID");
    RecordsetPtr floor = FirstSet(db,
                                  "SELECT TOP 1 FNumber, FSoLowPrc FROM t_ICItem "
                                  "WHERE FSalePriceFixingType=1 AND FSoLowPrc>=2 "
                                  "AND FErpClsID NOT IN (6,8) AND FDeleted=0 ORDER BY FNumber");
    if (floor && !floor->EOF_()) {
        plan.floorItemCode = floor->Fields("FNumber").Value().ToText();
        const double half = std::floor(floor->Fields("FSoLowPrc").Value().ToDouble() / 2);
        plan.floorItemPrice = FormatDouble(half);
    }
    return plan;
}

ScreenshotTour::ScreenshotTour(QString folder, ScreenshotPlan plan, QObject* parent)
    : ScreenshotTour(std::move(folder), std::move(plan), {}, {}, parent) {}

ScreenshotTour::ScreenshotTour(QString folder, ScreenshotPlan plan, QString suffix,
                               QStringList keep, QObject* parent)
    : QObject(parent),
      folder_(std::move(folder)),
      plan_(std::move(plan)),
      suffix_(std::move(suffix)),
      keep_(std::move(keep)) {
    BuildSteps();
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

QStringList ScreenshotTour::EnglishPictures() {
    return {QStringLiteral("browse-customers"), QStringLiteral("editor-new")};
}

void ScreenshotTour::Start() {
    stepStarted_ = QDateTime::currentMSecsSinceEpoch();
    timer_.start();
}

// Kept in one piece: the steps are the tour's script, read top to bottom as
// the windows follow one another; split up, the order would be lost.
void ScreenshotTour::BuildSteps() {
    auto browse = [](QWidget* top) -> BrowseBase& {
        return *WindowIn<BrowseBase>(top, "BrowseBase");
    };
    auto editor = [](QWidget* top) -> frmProperty& {
        return *WindowIn<frmProperty>(top, "frmProperty");
    };
    auto find = [](QWidget* top) -> FindDialog& {
        return *WindowIn<FindDialog>(top, FindDialog::kWindowName);
    };
    steps_ = {
        {"the browse window", IsBrowse,
         [this, browse](QWidget* top) {
             Grab(top, "browse-customers");
             BrowseBase& w = browse(top);
             w.tbToolBar().Click("ICItem");
             ClickLeaf(w, "t_ICItem", plan_.itemID);
         }},
        {"the browse window on the item tree", IsBrowse,
         [this, browse](QWidget* top) {
             Grab(top, "browse-items");
             BrowseBase& w = browse(top);
             w.tbToolBar().Click("Organization");
             ClickLeaf(w, "t_Organization", plan_.customerID);
             if (w.ldgBase().Rows() < 3) {
                 Fail("the customer's ledger lists no price entry to open");
                 return;
             }
             w.ldgBase().UserClick(3, 2);
             w.ldgBase().UserDblClick(3, 2);  // opens the editor; returns when it closes
         }},
        {"the record editor on a stored entry", IsEditor,
         [this, editor](QWidget* top) {
             Grab(top, "editor-entry");
             editor(top).TbPrice().Click(frmProperty::kBtnExit);
         }},
        {"the browse window after the editor", IsBrowse,
         [browse](QWidget* top) { browse(top).tbToolBar().Click("New"); }},
        {"the record editor on a new entry", IsEditor,
         [this, editor](QWidget* top) {
             if (plan_.floorItemCode.empty())
                 return;
             frmProperty& e = editor(top);
             TypeCell(e, R::kRowItemNumber, plan_.floorItemCode, R::kRowUnit);
             TypeCell(e, R::kRowPrice, plan_.floorItemPrice, R::kRowNote);
         }},
        {"the record editor with the new entry typed", IsEditor,
         [this, editor](QWidget* top) {
             Grab(top, "editor-new");
             frmProperty& e = editor(top);
             // Save only when it is certain to stop at the question, which
             // is answered No: nothing is written. Otherwise leave, and
             // answer No to the unsaved-data question.
             const bool typed = !plan_.floorItemCode.empty();
             if (!typed || SaveStopsAtQuestion(e))
                 e.TbPrice().Click(frmProperty::kBtnSave);
             else
                 e.TbPrice().Click(frmProperty::kBtnExit);
         }},
        {"a message dialog", IsMessage,
         [this](QWidget* top) {
             Grab(top, "message-dialog");
             qobject_cast<QDialog*>(top)->reject();  // No, or OK for a notice
         }},
        {"the record editor after the question", IsEditor,
         [editor](QWidget* top) { editor(top).TbPrice().Click(frmProperty::kBtnExit); }, true},
        {"the unsaved-data question", IsMessage,
         [](QWidget* top) { qobject_cast<QDialog*>(top)->reject(); }, true},
        {"the browse window after the new entry", IsBrowse,
         [browse](QWidget* top) { browse(top).tbToolBar().Click("SELowPrice"); }},
        {"the minimum price dialog", IsLowPrice,
         [this](QWidget* top) {
             Grab(top, "min-price");
             top->close();
         }},
        {"the browse window before the find dialog", IsBrowse,
         [browse](QWidget* top) { browse(top).tbToolBar().Click("Find"); }},
        {"the find dialog", IsFindDialog,
         [find](QWidget* top) { FillPriceCriterion(find(top), FindOp::kGreaterEqual, "100"); }},
        {"the find dialog with a criterion", IsFindDialog,
         [this, find](QWidget* top) {
             Grab(top, "find");
             find(top).Cancel();
         }},
        {"the browse window before the sort dialog", IsBrowse,
         [browse](QWidget* top) { browse(top).tbToolBar().Click("Sort"); }},
        {"the sort dialog", IsFindDialog,
         [find](QWidget* top) {
             find(top).SetSortKeys({{kPriceField, true}, {0, false}});
         }},
        {"the sort dialog with its keys", IsFindDialog,
         [this, find](QWidget* top) {
             Grab(top, "sort");
             find(top).Cancel();
         }},
        {"the browse window before the filter dialog", IsBrowse,
         [browse](QWidget* top) { browse(top).tbToolBar().Click("Filter"); }},
        {"the filter dialog", IsFindDialog,
         [find](QWidget* top) { FillPriceCriterion(find(top), FindOp::kLess, "100"); }},
        {"the filter dialog with a criterion", IsFindDialog,
         [this, find](QWidget* top) {
             Grab(top, "filter");
             find(top).Run();  // the ledger keeps the matching entries
         }},
        {"the filtered ledger", IsBrowse,
         [this, browse](QWidget* top) {
             Grab(top, "filtered");
             // The whole ledger again for the preview: clicking the leaf ends the filter.
             BrowseBase& w = browse(top);
             ClickLeaf(w, "t_Organization", plan_.customerID);
             w.tbToolBar().Click("PrintView");
         }},
        {"the print preview", IsPreview,
         [this](QWidget* top) {
             Grab(top, "preview");
             top->close();
         }},
        {"the browse window before the export", IsBrowse,
         [browse](QWidget* top) { browse(top).Menus().Click("mnuFileExport"); }},
        {"the export dialog", IsExportDialog,
         [this](QWidget* top) {
             Grab(top, "export");
             qobject_cast<QDialog*>(top)->reject();  // nothing is written
         }},
        // The adjustment dialog on the customer: a 5 % rise previewed, then
        // cancelled (nothing written).
        {"the browse window before adjusting prices", IsBrowse,
         [browse](QWidget* top) { browse(top).Menus().Click("mnuAdjustPrices"); }},
        {"the adjustment dialog", IsAdjust,
         [](QWidget* top) {
             frmAdjustPrices& d = *WindowIn<frmAdjustPrices>(top, frmAdjustPrices::kWindowName);
             d.In().value = "5";
             d.In().roundTo = "0.1";
             d.Preview();
         }},
        {"the adjustment dialog with its preview", IsAdjust,
         [this](QWidget* top) {
             Grab(top, "adjust");
             WindowIn<frmAdjustPrices>(top, frmAdjustPrices::kWindowName)->CmdCancelClick();
         }},
        {"the browse window before the overlap marks", IsBrowse,
         [this, browse](QWidget* top) {
             BrowseBase& w = browse(top);
             ClickLeaf(w, "t_Organization", plan_.customerID);
             ShowFirstOverlap(w, top);
         }},
        {"the ledger's overlap marks", IsBrowse,
         [this](QWidget* top) {
             if (QToolTip::isVisible())
                 Grab(top, "overlaps", true);
             QToolTip::hideText();
         }},
        // The price history of the customer's first entry, on a company
        // that keeps it (the step passes over a company without it).
        {"the browse window before the history", IsBrowse,
         [browse](QWidget* top) {
             BrowseBase& w = browse(top);
             if (!w.Menus().Item("mnuHistory").enabled || w.ldgBase().Rows() < 3)
                 return;
             w.ldgBase().UserClick(3, 2);
             w.Menus().Click("mnuHistory");  // returns when the list closes
         }},
        {"the price history", IsMessage,
         [this](QWidget* top) {
             Grab(top, "history");
             qobject_cast<QDialog*>(top)->reject();
         },
         true},
        // The same customer's ledger as of yesterday, on a company that
        // keeps the history (passed over on one without it).
        {"the browse window before As of Date", IsBrowse,
         [browse](QWidget* top) {
             BrowseBase& w = browse(top);
             if (w.Menus().Item("mnuAsOf").enabled)
                 w.Menus().Click("mnuAsOf");  // returns when the day is given
         }},
        {"the day of As of Date", [](QWidget* top) { return qobject_cast<QInputDialog*>(top); },
         [](QWidget* top) {
             auto* d = qobject_cast<QInputDialog*>(top);
             d->setTextValue(
                 QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyy-MM-dd")));
             d->accept();
         },
         true},
        {"the ledger as of a day", IsBrowse,
         [this, browse](QWidget* top) {
             BrowseBase& w = browse(top);
             if (w.AsOfDay().empty())
                 return;
             Grab(top, "asof");
             w.Menus().Click("mnuViewRefresh");  // the ledger as it is
         }},
        {"the browse window before the import", IsBrowse,
         [this, browse](QWidget* top) {
             const std::string sample = U(WriteSamplePriceList(plan_));
             ComponentRegistry::Register<ImportFiles>(ImportFiles::kProgID, [sample] {
                 return std::make_shared<TourImportFiles>(sample);
             });
             browse(top).Menus().Click("mnuFileImport");
         }},
        {"the import preview", IsImportPreview,
         [this](QWidget* top) {
             Grab(top, "import");
             RegisterQtImportFiles();
             QFile::remove(QDir::temp().filePath(QStringLiteral("orva-tour-prices.csv")));
             WindowIn<ModalWindow>(top, ImportPreview::kWindowName)->Hide();  // nothing written
         }},
        {"the browse window at the end", IsBrowse,
         [browse](QWidget* top) { browse(top).tbToolBar().Click("Exit"); }},
    };
}

void ScreenshotTour::Tick() {
    QWidget* top = QApplication::activeModalWidget();
    if (closing_) {
        CloseEverything();
        return;
    }
    if (next_ >= steps_.size()) {
        timer_.stop();
        return;
    }
    // An optional step gives way to the next one when that one's window is up.
    while (top && steps_[next_].optional && !steps_[next_].matches(top) &&
           next_ + 1 < steps_.size() && steps_[next_ + 1].matches(top)) {
        ++next_;
    }
    const Step& step = steps_[next_];
    if (!top || !step.matches(top) || !top->isVisible()) {
        candidate_ = nullptr;
        stableTicks_ = 0;
        if (QDateTime::currentMSecsSinceEpoch() - stepStarted_ > kStepTimeoutMs)
            Fail("gave up waiting for " + step.what);
        return;
    }
    if (candidate_ != top) {
        candidate_ = top;
        stableTicks_ = 0;
        return;
    }
    if (++stableTicks_ < kSettleTicks)
        return;
    // Act from a fresh event: an act that opens a modal window returns only
    // when the window closes, while this timer keeps ticking.
    const auto act = step.act;
    QPointer<QWidget> target = top;
    ++next_;
    candidate_ = nullptr;
    stableTicks_ = 0;
    stepStarted_ = QDateTime::currentMSecsSinceEpoch();
    QTimer::singleShot(0, this, [this, act, target] {
        if (!target) {
            Fail("a window closed before the tour could act on it");
            return;
        }
        try {
            act(target);
        } catch (const std::runtime_error& e) {
            Fail(QString("a step failed: ") + Q(e.what()));
        }
    });
}

void ScreenshotTour::Fail(const QString& why) {
    if (failure_.isEmpty())
        failure_ = why;
    closing_ = true;
}

void ScreenshotTour::CloseEverything() {
    QWidget* top = QApplication::activeModalWidget();
    if (!top) {
        timer_.stop();
        return;
    }
    // As the title bar's close button: the window's logic decides, and a
    // question it asks is closed on the next tick.
    top->close();
}

void ScreenshotTour::Grab(QWidget* widget, const QString& name, bool withToolTip) {
    if (!keep_.isEmpty() && !keep_.contains(name))
        return;
    const QString path = QDir(folder_).filePath(name + suffix_ + ".png");
    QPixmap picture = widget->grab();
    if (withToolTip) {
        // The tool tip is a window of its own: drawn over the picture where
        // it stands on the screen.
        QPainter painter(&picture);
        for (QWidget* tip : QApplication::topLevelWidgets()) {
            if (tip->isVisible() && tip->inherits("QTipLabel"))
                tip->render(&painter, widget->mapFromGlobal(tip->mapToGlobal(QPoint(0, 0))));
        }
    }
    if (!picture.save(path, "PNG")) {
        Fail("cannot write " + path);
        return;
    }
    saved_ << path;
}

}  // namespace orva::qt
