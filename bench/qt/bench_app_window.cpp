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
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "browse/browse_base.h"
#include "demo/company_generator.h"
#include "demo/demo_company.h"
#include "host/controls/ledger.h"
#include "host/db_backend.h"
#include "host/host_services.h"
#include "host/recordset.h"
#include "host/settings_store.h"
#include "host/share_props.h"
#include "orvasaleprice/cust_face.h"
#include "qt/browse_window.h"
#include "qt/cjk_fonts.h"
#include "qt/host_app.h"
#include "qt/ledger_model.h"
#include "qt/ledger_view.h"
#include "qt/modal_window_dialog.h"
#include "qt/module_views.h"
#include "qt/property_view_registration.h"
#include "qt/qt_host_ui.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "orva-bench-app-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a scratch folder");
        dir_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string File(const std::string& name) const { return dir_ + "/" + name; }

  private:
    std::string dir_;
};

ScratchDir& Scratch() {
    static ScratchDir dir;
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
    static const std::string path = [] {
        const std::string p = Scratch().File("large.db");
        orva::demo::CreateLargeCompany(p, 100000, 10000, 1000000);
        return p;
    }();
    return path;
}
const std::string& BusyCustomerCompany() {  // one customer with 100,000 entries
    static const std::string path = [] {
        const std::string p = Scratch().File("busy.db");
        orva::demo::LargeCompanyOptions o;
        o.customers = 1;
        o.items = 13100;  // 96 % can be priced: 12,500 items with 8 entries each
        o.priceEntries = 100000;
        orva::demo::CreateLargeCompany(p, o);
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
    static bool done = false;
    if (done)
        return;
    done = true;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "bench_app_window";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    orva::qt::InstallCjkApplicationFont();
    orva::RegisterHostServices();
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

double ShowBrowse(std::int32_t customer,
                  std::function<void(orva::qt::BrowseWindow&)> whilePainted = {}) {
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
    {
        orva::CustFace face;
        face.CategoryByCust(true);
        face.SelCustID(customer);
        face.Show(orva::showedit);
    }
    if (!watcher.painted)
        return -1;
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
