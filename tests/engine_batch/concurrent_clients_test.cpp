// Several clients (processes of their own, as clerks on several machines) save
// and batch-add on one company file at the same moment: every valid entry is
// written once, identical entries once in all, nothing is refused that a lone
// client would have saved, and no row is lost or doubled.
//
// ORVA_CLIENT_ROUNDS (default 1) multiplies the number of saves and batch
// members, for longer runs by hand.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "batch_fixture.h"
#include "host/app_connection.h"
#include "host/controls/status_bar.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva::batchtest {
namespace {

constexpr int kClients = 4;
constexpr int kSaveGroup = 910000;   // customers 910001.. for the single saves
constexpr int kBatchGroup = 920000;  // customers 920001.. for the batch adds
constexpr int kItemGroup = 930000;
constexpr int kItemOwnBand = 930001;    // each client saves its own band
constexpr int kItemSameEntry = 930002;  // every client saves the same entry
constexpr int kItemBatchSame = 930003;
constexpr int kItemBatchOwn = 930004;

const std::string kDuplicate = "已有相同记录，不允许保存";

// What one client saw, sent back to the test through a pipe.
struct ClientReport {
    int saved = 0;          // Add answered true
    int duplicates = 0;     // Add refused with the duplicate message
    int otherMessages = 0;  // any other message box or dialog of a save
    int batchSame = 0;      // entries the batch with everyone's values added
    int batchOwn = 0;       // entries the batch with its own band added
    int batchErrors = 0;    // "批量新增出错！"
    int failed = 0;         // the client stopped on an exception
};

int Rounds() {
    const char* text = std::getenv("ORVA_CLIENT_ROUNDS");
    const int rounds = text ? std::atoi(text) : 1;
    return rounds > 0 ? rounds : 1;
}

class ConcurrentClientsTest : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        saveCustomers = 30 * Rounds();
        batchCustomers = 150 * Rounds();
        AddCustomerGroup(kSaveGroup, "T81", 0);
        for (int i = 1; i <= saveCustomers; ++i)
            AddCustomer(kSaveGroup + i, "T81." + std::to_string(100000 + i), kSaveGroup);
        AddCustomerGroup(kBatchGroup, "T82", 0);
        for (int i = 1; i <= batchCustomers; ++i)
            AddCustomer(kBatchGroup + i, "T82." + std::to_string(100000 + i), kBatchGroup);
        AddItemGroup(kItemGroup, "I8", 0);
        for (int item : {kItemOwnBand, kItemSameEntry, kItemBatchSame, kItemBatchOwn})
            AddItem(item, "I8." + std::to_string(item), kItemGroup);
    }

    // One single save through the engine, as the editor makes it.
    void Save(UserDefInfo& engine, Spread& grid, int cust, int item, double startQty,
              ClientReport& report) {
        engine.SelCustID = cust;
        engine.SelItemID = item;
        engine.SelEntryID = 0;
        engine.InitInfo();
        engine.OperationType(EditorOperation::kSingle);
        engine.SetValues();
        engine.SetProperty();
        auto set = [&grid](int row, const std::string& value) {
            grid.SetText(UserDefInfo::kColText, row, value);
            grid.SetText(UserDefInfo::kColValue, row, value);
        };
        set(UserDefInfo::kRowStartQty, FormatDouble(startQty));
        set(UserDefInfo::kRowEndQty, FormatDouble(startQty + 100));
        set(UserDefInfo::kRowPrice, "12.5");
        set(UserDefInfo::kRowQuoteTime, "2025-05-01");
        set(UserDefInfo::kRowExpireDate, "2100-01-01");
        ui_->ClearRecords();
        const bool saved = engine.Add();
        const int shown = static_cast<int>(ui_->Dialogs().size() + ui_->MessageBoxes().size());
        if (saved) {
            ++report.saved;
            report.otherMessages += shown;
        } else if (shown == 1 && BoxTexts() == std::vector<std::string>{kDuplicate}) {
            ++report.duplicates;
        } else {
            report.otherMessages += shown > 0 ? shown : 1;
        }
    }

    std::int32_t Batch(int item, double startQty, ClientReport& report) {
        GridValues g;
        g.cust = kBatchGroup;
        g.item = item;
        g.startQty = startQty;
        g.endQty = startQty + 100;
        g.price = 9;
        g.quote = "2025-05-01";
        Fill(g);
        ui_->ClearRecords();
        const std::int32_t count = engine_.BatchAdd(alert, basePrice);
        for (const std::string& text : BoxTexts())
            report.batchErrors += text == "批量新增出错！" ? 1 : 0;
        return count;
    }

    // The work of client k, in a process of its own, once `go` opens.
    ClientReport Client(int k, int go) {
        ClientReport report;
        char start = 0;
        if (read(go, &start, 1) != 1)
            ++report.failed;
        try {
            // A process of its own: its own session and connections.
            test::ScopedSession session(company_.path(), demo::kAdminUserId);
            InitSessionProps(*ctx_, session.propsString());
            ctx_->g_GLData.reset();
            ctx_->g_Connection = std::make_shared<AppConnection>();
            Spread grid;
            grid.SetMaxCols(3);
            StatusBar status;
            status.AddPanel("help");
            UserDefInfo engine{*ctx_};
            engine.Spread(&grid);
            engine.Status(&status);
            for (int i = 1; i <= saveCustomers; ++i) {
                Save(engine, grid, kSaveGroup + i, kItemOwnBand, k, report);
                Save(engine, grid, kSaveGroup + i, kItemSameEntry, 0, report);
            }
            report.batchSame = Batch(kItemBatchSame, 0, report);
            report.batchOwn = Batch(kItemBatchOwn, k, report);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "client %d: %s\n", k, e.what());
            ++report.failed;
        }
        return report;
    }

    std::int64_t Entries(int item) {
        return Int("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=" + SqlId(item));
    }
    std::int64_t Headers(int item) {
        return Int("SELECT COUNT(*) FROM t_Cust WHERE FItemID=" + SqlId(item));
    }

    int saveCustomers = 0;
    int batchCustomers = 0;
    std::int16_t alert = 0;
    double basePrice = 9;
};

TEST_F(ConcurrentClientsTest, EveryEntryIsWrittenOnceAndNothingValidIsRefused) {
    // Nothing of the test's own stays open across fork: each client opens its
    // own connections to the file.
    ctx_->g_Connection.reset();
    ctx_->g_GLData.reset();
    // The journal of a company file as the programs create it, which lets
    // readers go on while one client writes; a file in rollback-journal mode
    // makes readers wait for writers, and four clients writing without pause
    // can keep a reader waiting past the busy timeout.
    RawExec("PRAGMA journal_mode=WAL");
    int goPipe[2];
    ASSERT_EQ(pipe(goPipe), 0);
    std::vector<pid_t> clients;
    std::vector<int> reports;
    for (int k = 1; k <= kClients; ++k) {
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(goPipe[1]);
            close(report[0]);
            const ClientReport r = Client(k, goPipe[0]);
            const bool sent = write(report[1], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
            _exit(sent ? 0 : 1);  // no test teardown in the client
        }
        close(report[1]);
        clients.push_back(pid);
        reports.push_back(report[0]);
    }
    close(goPipe[0]);
    const std::string go(kClients, 'g');
    ASSERT_EQ(write(goPipe[1], go.data(), go.size()), static_cast<ssize_t>(go.size()));
    close(goPipe[1]);

    ClientReport total;
    std::vector<int> batchOwnCounts;
    for (std::size_t i = 0; i < clients.size(); ++i) {
        ClientReport r;
        EXPECT_EQ(read(reports[i], &r, sizeof r), static_cast<ssize_t>(sizeof r));
        close(reports[i]);
        int status = 0;
        waitpid(clients[i], &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        total.saved += r.saved;
        total.duplicates += r.duplicates;
        total.otherMessages += r.otherMessages;
        total.batchSame += r.batchSame;
        total.batchErrors += r.batchErrors;
        total.failed += r.failed;
        batchOwnCounts.push_back(r.batchOwn);
    }
    LogOn(demo::kAdminUserId);

    // Own bands: every save written. The same entry: written once, the other
    // clients refused with the duplicate message. Nothing else was said.
    EXPECT_EQ(total.failed, 0);
    EXPECT_EQ(total.otherMessages, 0);
    EXPECT_EQ(total.saved, kClients * saveCustomers + saveCustomers);
    EXPECT_EQ(total.duplicates, (kClients - 1) * saveCustomers);
    EXPECT_EQ(Entries(kItemOwnBand), kClients * saveCustomers);
    EXPECT_EQ(Entries(kItemSameEntry), saveCustomers);
    // Batches: the same values add each member's entry once among all
    // clients; own bands add every member for every client.
    EXPECT_EQ(total.batchErrors, 0);
    EXPECT_EQ(total.batchSame, batchCustomers);
    EXPECT_EQ(Entries(kItemBatchSame), batchCustomers);
    for (int count : batchOwnCounts) EXPECT_EQ(count, batchCustomers);
    EXPECT_EQ(Entries(kItemBatchOwn), kClients * batchCustomers);
    // One header row per pair.
    EXPECT_EQ(Headers(kItemOwnBand), saveCustomers);
    EXPECT_EQ(Headers(kItemSameEntry), saveCustomers);
    EXPECT_EQ(Headers(kItemBatchSame), batchCustomers);
    EXPECT_EQ(Headers(kItemBatchOwn), batchCustomers);

    const std::int64_t written = Int("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID BETWEEN " +
                                     SqlId(kItemOwnBand) + " AND " + SqlId(kItemBatchOwn));
    const std::int64_t doubled =
        Int("SELECT COUNT(*) FROM (SELECT FCustID FROM t_CustEntry WHERE FItemID BETWEEN " +
            SqlId(kItemOwnBand) + " AND " + SqlId(kItemBatchOwn) +
            " GROUP BY FCustID,FItemID,FUnitID,FStartQty,FEndQty,FCyID,FQuoteTime,FExpireDate "
            "HAVING COUNT(*)>1) d");
    // What the clients reported as written, against what the file holds.
    const std::int64_t reported =
        total.saved + total.batchSame + static_cast<std::int64_t>(kClients) * batchCustomers;
    const std::int64_t attempted =
        static_cast<std::int64_t>(kClients) * (2 * saveCustomers + 2 * batchCustomers);
    std::printf(
        "%d concurrent clients, %lld saves and batch members tried: %lld written, %d refused "
        "as the same entry as another client's, %d spurious refusals, %lld duplicate entries, "
        "%lld rows written but not counted, %lld rows counted but lost\n",
        kClients, static_cast<long long>(attempted), static_cast<long long>(written),
        total.duplicates, total.otherMessages + total.batchErrors, static_cast<long long>(doubled),
        static_cast<long long>(written > reported ? written - reported : 0),
        static_cast<long long>(reported > written ? reported - written : 0));
    EXPECT_EQ(doubled, 0);
    EXPECT_EQ(written, reported);
}

}  // namespace
}  // namespace orva::batchtest
