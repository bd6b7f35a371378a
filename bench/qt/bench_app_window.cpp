// The browse window as orva-saleprice opens it (CustFace::Show with the Qt
// face, offscreen):
//
//   BM_Launch*            from creating CustFace (which opens the connection)
//                         to the first paint of the browse window's ledger, on
//                         the demo company and on a company of 100,000
//                         customers (10,000 items, 1,000,000 price entries),
//                         without and with a preselected customer. Each launch
//                         starts with empty saved settings. first_launch_ms is
//                         the first launch of the process (fonts, caches
//                         cold), which the iterations do not repeat.
//   BM_PickerLaunch       the sales-bill picker (selection mode, called from a
//                         bill) preselecting the busiest customer of the
//                         company of 100,000 customers; its floor, measured in
//                         the same iteration, is raw sqlite3 reading every
//                         column of every row of the same ledger statement.
//                         Goal: ratio <= 1.3.
//   BM_OpenBusyCustomer   a launch preselecting the customer with 100,000
//                         entries; its floor is a click on the same customer
//                         in the open window (the ledger loaded and painted).
//                         Goal: ratio <= 1.1.
//   BM_ScrollPage*        a ledger of 100,000 price entries (one customer):
//                         one screenful of rows further down, either the
//                         module's work alone (the rows' texts the view asks
//                         the ledger for) or scrolled and painted by the view.
//
// Companies are generated once per run, outside the timed loops, in a
// scratch folder removed at exit.
#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "browse/browse_base.h"
#include "browse/tvw_builder.h"
#include "common/large_company_file.h"
#include "common/offscreen_app.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "common/thread_cpu.h"
#include "demo/company_generator.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/controls/ledger.h"
#include "host/db/open_database.h"
#include "host/db/sqlite/sqlite_dialect.h"
#include "host/settings_store.h"
#include "host/share_props.h"
#include "host/tsql/translator.h"
#include "orvasaleprice/cust_face.h"
#include "orvasaleprice/recordset.h"
#include "qt/controls/ledger_model.h"
#include "qt/controls/ledger_view.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/host_app.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/browse_window.h"
#include "qt/windows/module_views.h"
#include "qt/windows/property_view_registration.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using orva::bench::RawSqlite;
using orva::bench::ThreadCpu;

orva::bench::ScratchDir& Scratch() {
    static orva::bench::ScratchDir dir("app");
    return dir;
}

const std::string& DemoCompany() {
    static const std::string path = [] {
        const std::string p = Scratch().File("demo.db");
        orva::demo::CreateDemoCompany(p);
        return p;
    }();
    return path;
}
const std::string& LargeCompany() {  // 100,000 customers
    static const std::string path = orva::bench::LargeCompanyFile(
        Scratch(), "large.db", {.customers = 100000, .items = 10000, .priceEntries = 1000000});
    return path;
}
const std::string& BusyCustomerCompany() {  // one customer with 100,000 entries
    static const std::string path =
        orva::bench::LargeCompanyFile(Scratch(), "busy.db", orva::bench::kBusyCustomer);
    return path;
}

// The company of 100,000 customers in which the busiest customer also holds
// about 21,600 audited entries in force (two or three quantity bands of
// every item that can be priced), as a customer picked on a sales bill may.
const std::string& PickerCompany() {
    static const std::string path = [] {
        const std::string p = Scratch().File("picker.db");
        fs::copy_file(LargeCompany(), p);
        const std::string sql =
            "BEGIN;"
            "CREATE TEMP TABLE busy AS SELECT FCustID AS id FROM t_CustEntry GROUP BY FCustID "
            "ORDER BY COUNT(*) DESC LIMIT 1;"
            "INSERT OR IGNORE INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) "
            "SELECT '0',FItemID,(SELECT id FROM busy),1,0 FROM t_ICItem "
            "WHERE FErpClsID NOT IN (6,8);"
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) "
            "SELECT '0',(SELECT MAX(FEntryID) FROM t_CustEntry)+ROW_NUMBER() OVER (),"
            "(SELECT id FROM busy),i.FItemID," +
            std::to_string(orva::demo::kUnitPiece) +
            ",b.s,b.e,10+b.k,1,0,'2024-01-02','2100-01-01',1,'' FROM t_ICItem i,"
            "(SELECT 0 AS k,0 AS s,50 AS e UNION ALL SELECT 1,50,500 UNION ALL "
            "SELECT 2,500,5000) b WHERE i.FErpClsID NOT IN (6,8) AND "
            "(b.k<2 OR i.FItemID%4=0);"
            "DROP TABLE busy; COMMIT; ANALYZE;";
        RawSqlite(p).Exec(sql);
        return p;
    }();
    return path;
}

// The customer with the most price entries.
std::int32_t BusiestCustomer(const std::string& path) {
    auto db = orva::OpenDatabase(path);
    orva::RecordsetPtr rs =
        db->ExecuteBatch(
              "SELECT TOP 1 FCustID FROM t_CustEntry GROUP BY FCustID ORDER BY COUNT(*) DESC")
            .recordsets.at(0);
    return static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
}

// The application and the Qt face, as orva-saleprice installs them.
void Setup() {
    if (!orva::bench::StartOffscreenApp("bench_app_window"))
        return;
    orva::qt::InstallQtHost(Scratch().File("settings.ini"));
    orva::qt::RegisterBrowseViews();
    orva::qt::RegisterPropertyView();
}

void LogOn(const std::string& path) {
    orva::ShareProps().SetProperty(
        orva::ShareProps::CurrentProcessId(), "PropsString",
        orva::Variant(orva::qt::HostSessionString(path, orva::demo::kAdminUserId, "CHS")));
}

orva::qt::ModalWindowDialog* BrowseDialog() {
    auto* d = qobject_cast<orva::qt::ModalWindowDialog*>(QApplication::activeModalWidget());
    return d && d->objectName() == "BrowseBase" ? d : nullptr;
}

// Opens the browse window through CustFace::Show; once its ledger has been
// painted, notes the time, runs `whilePainted` with the window and closes
// it. Returns the time from the call to the first paint, or a negative
// value when the window never painted.
class PaintWatcher : public QObject {
  public:
    explicit PaintWatcher(std::function<void(orva::qt::BrowseWindow&)> whilePainted)
        : whilePainted_(std::move(whilePainted)) {
        qApp->installEventFilter(this);
    }
    ~PaintWatcher() override { qApp->removeEventFilter(this); }
    Clock::time_point paintedAt{};
    double paintedCpu = 0;
    bool painted = false;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(object);
            if (widget && qobject_cast<orva::qt::LedgerView*>(widget->parentWidget())) {
                seen_ = true;
                // Noted once this paint has been handled.
                QTimer::singleShot(0, this, [this] { Painted(); });
            }
        }
        return false;
    }

  private:
    void Painted() {
        paintedAt = Clock::now();
        paintedCpu = ThreadCpu();
        painted = true;
        orva::qt::ModalWindowDialog* dialog = BrowseDialog();
        if (!dialog)
            return;
        if (whilePainted_) {
            if (auto* view = qobject_cast<orva::qt::BrowseWindow*>(dialog->Body()))
                whilePainted_(*view);
        }
        dialog->close();  // as the title bar's close button
    }

    std::function<void(orva::qt::BrowseWindow&)> whilePainted_;
    bool seen_ = false;
};

struct ShowOptions {
    orva::Enu_ShowMode mode = orva::showedit;
    bool fromBill = false;
};

// The CPU time of this thread from the call to the first paint of the last
// ShowBrowse.
double g_launchCpu = 0;

double ShowBrowse(std::int32_t customer,
                  std::function<void(orva::qt::BrowseWindow&)> whilePainted = {},
                  ShowOptions options = {}) {
    orva::SetCurrentSettings(std::make_shared<orva::MemorySettingsStore>());
    PaintWatcher watcher(std::move(whilePainted));
    // A window that never paints must not hang the run.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* d = BrowseDialog())
            d->close();
    });
    guard.start(120000);
    const Clock::time_point start = Clock::now();
    const double cpuStart = ThreadCpu();
    {
        orva::CustFace face;
        face.CategoryByCust(true);
        face.CallByBill(options.fromBill);
        face.ReturnType(orva::ReturnItem);
        face.SelCustID(customer);
        face.Show(options.mode);
    }
    if (!watcher.painted)
        return -1;
    g_launchCpu = watcher.paintedCpu - cpuStart;
    return std::chrono::duration<double>(watcher.paintedAt - start).count();
}

void Launch(benchmark::State& state, const std::string& path, bool preselect) {
    Setup();
    LogOn(path);
    const std::int32_t customer = preselect ? BusiestCustomer(path) : 0;
    const double first = ShowBrowse(customer);
    if (first < 0) {
        state.SkipWithError("the browse window never painted");
        return;
    }
    for (auto _ : state) {
        const double seconds = ShowBrowse(customer);
        if (seconds < 0) {
            state.SkipWithError("the browse window never painted");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["first_launch_ms"] = first * 1000;
}

void BM_LaunchDemo(benchmark::State& state) {
    Launch(state, DemoCompany(), false);
}
void BM_LaunchDemoPreselected(benchmark::State& state) {
    Launch(state, DemoCompany(), true);
}
void BM_LaunchLarge100kCustomers(benchmark::State& state) {
    Launch(state, LargeCompany(), false);
}
void BM_LaunchLarge100kCustomersPreselected(benchmark::State& state) {
    Launch(state, LargeCompany(), true);
}
BENCHMARK(BM_LaunchDemo)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaunchDemoPreselected)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaunchLarge100kCustomers)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaunchLarge100kCustomersPreselected)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Launches against their floors ---------------------------------------

// The ledger statement of a customer as the window builds it, translated to
// the SQL that SQLite runs.
std::string LedgerSql(const std::string& path, std::int32_t customer, bool fromBill) {
    const std::string props = orva::qt::HostSessionString(path, orva::demo::kAdminUserId, "CHS");
    orva::InitSessionProps(orva::ModuleContext::Shared(), props);
    orva::ModuleContext::Shared().g_Connection = std::make_shared<orva::AppConnection>();
    orva::ModuleContext::Shared().g_CallByBill = fromBill;
    orva::tvwBuilder builder{orva::ModuleContext::Shared()};
    const std::string statement = builder.GetDetailSql(std::to_string(customer));
    orva::ModuleContext::Shared().g_Connection.reset();
    return orva::tsql::Compile(statement, orva::SqliteDialect()).steps.at(0).sql.at(0);
}

// Raw sqlite3 reading every column of every row of `sql`; seconds, and the
// thread's CPU seconds in `cpu`.
double RawRead(RawSqlite& db, const std::string& sql, long& rows, double& cpu) {
    const Clock::time_point start = Clock::now();
    const double cpuStart = ThreadCpu();
    rows = db.ReadEveryCell(sql);
    cpu = ThreadCpu() - cpuStart;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Times and floors of the iterations, wall and CPU; reports medians and
// their ratios.
struct RatioCounters {
    std::vector<double> times, floors, cpuTimes, cpuFloors;
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    // Notes a launch's time (negative when the window never painted, which
    // ends the run with an error); false then.
    bool NoteLaunch(benchmark::State& state, double seconds) {
        if (seconds < 0) {
            state.SkipWithError("the browse window never painted");
            return false;
        }
        state.SetIterationTime(seconds);
        times.push_back(seconds);
        cpuTimes.push_back(g_launchCpu);
        return true;
    }
    void Report(benchmark::State& state, double goal) const {
        const double floor = Median(floors);
        state.counters["floor_ms"] = floor * 1000;
        state.counters["ratio"] = floor > 0 ? Median(times) / floor : 0;
        const double cpuFloor = Median(cpuFloors);
        state.counters["cpu_floor_ms"] = cpuFloor * 1000;
        state.counters["cpu_ratio"] = cpuFloor > 0 ? Median(cpuTimes) / cpuFloor : 0;
        state.counters["goal_ratio"] = goal;
    }
};

void BM_PickerLaunch(benchmark::State& state) {
    Setup();
    const std::string& path = PickerCompany();
    LogOn(path);
    const std::int32_t customer = BusiestCustomer(path);
    const std::string sql = LedgerSql(path, customer, true);
    LogOn(path);
    RawSqlite db(path, RawSqlite::Mode::kReadOnly);
    db.UseModuleSettings();
    const ShowOptions picker{orva::ShowSelect, true};
    long rows = 0;
    double cpu = 0;
    RawRead(db, sql, rows, cpu);
    ShowBrowse(customer, {}, picker);  // first launch: fonts and caches
    RatioCounters r;
    for (auto _ : state) {
        if (!r.NoteLaunch(state, ShowBrowse(customer, {}, picker)))
            break;
        r.floors.push_back(RawRead(db, sql, rows, cpu));
        r.cpuFloors.push_back(cpu);
    }
    orva::ModuleContext::Shared().g_CallByBill = false;
    state.counters["entries"] = static_cast<double>(rows);
    r.Report(state, 1.3);
}
BENCHMARK(BM_PickerLaunch)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_OpenBusyCustomer(benchmark::State& state) {
    Setup();
    const std::string& path = BusyCustomerCompany();
    LogOn(path);
    const std::int32_t customer = BusiestCustomer(path);
    // In the open window: the root clicked (which empties the ledger), then
    // the customer clicked and the ledger painted.
    double click = 0;
    double clickCpu = 0;
    auto clickAgain = [&](orva::qt::BrowseWindow& w) {
        orva::Tree& tree = w.logic().tvwBase();
        const orva::NodeId leaf = tree.Find("gb" + std::to_string(customer));
        tree.UserClick(tree.Find(orva::tvwBuilder::kRootKey));
        const Clock::time_point start = Clock::now();
        const double cpuStart = ThreadCpu();
        tree.UserClick(leaf);
        w.ledger()->viewport()->repaint();
        click = std::chrono::duration<double>(Clock::now() - start).count();
        clickCpu = ThreadCpu() - cpuStart;
    };
    ShowBrowse(customer, clickAgain);
    RatioCounters r;
    for (auto _ : state) {
        if (!r.NoteLaunch(state, ShowBrowse(customer, clickAgain)))
            break;
        r.floors.push_back(click);
        r.cpuFloors.push_back(clickCpu);
    }
    r.Report(state, 1.1);
}
BENCHMARK(BM_OpenBusyCustomer)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- Scrolling ------------------------------------------------------------

// Rows of the ledger view that one screen shows.
int ScreenRows(orva::qt::LedgerView& view) {
    const int first = view.rowAt(0);
    int last = view.rowAt(view.viewport()->height() - 1);
    if (last < 0)
        last = view.model()->rowCount() - 1;
    return std::max(1, last - first + 1);
}

// Runs `page` once per iteration inside the open browse window of the
// customer with 100,000 price entries.
void ScrollLedger(
    benchmark::State& state,
    const std::function<void(orva::qt::BrowseWindow&, int firstRow, int rows)>& page) {
    Setup();
    LogOn(BusyCustomerCompany());
    bool ran = false;
    int ledgerRows = 0;
    int screenRows = 0;
    ShowBrowse(BusiestCustomer(BusyCustomerCompany()), [&](orva::qt::BrowseWindow& w) {
        ran = true;
        orva::qt::LedgerView& view = *w.ledger();
        ledgerRows = view.model()->rowCount();
        screenRows = ScreenRows(view);
        int first = 0;
        for (auto _ : state) {
            first += screenRows;
            if (first + screenRows > ledgerRows)
                first = 0;
            page(w, first, screenRows);
        }
    });
    if (!ran) {
        state.SkipWithError("the browse window never painted");
        return;
    }
    state.counters["entries"] = ledgerRows;
    state.counters["rows_per_screen"] = screenRows;
}

// The module's share of a screenful: the row texts the view asks for
// (ledger rows of model rows first .. first + rows - 1).
void BM_ScrollPageModuleWork(benchmark::State& state) {
    ScrollLedger(state, [](orva::qt::BrowseWindow& w, int first, int rows) {
        orva::Ledger& ledger = w.logic().ldgBase();
        for (int r = first; r < first + rows; ++r)
            benchmark::DoNotOptimize(ledger.RowCells(orva::qt::LedgerModel::LedgerRow(r)).data());
    });
}
BENCHMARK(BM_ScrollPageModuleWork)->Unit(benchmark::kMicrosecond);

// The whole of it: the view scrolled by a screen and painted at once.
void BM_ScrollPagePainted(benchmark::State& state) {
    ScrollLedger(state, [](orva::qt::BrowseWindow& w, int first, int) {
        orva::qt::LedgerView& view = *w.ledger();
        view.scrollTo(view.model()->index(first, 1), QAbstractItemView::PositionAtTop);
        view.viewport()->repaint();
    });
}
BENCHMARK(BM_ScrollPagePainted)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
