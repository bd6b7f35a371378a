// orva-saleprice, the host application: its command line, how it finds the
// company database, the user and the preselection, and the program itself
// run as a user runs it (bad input, screenshots).
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "demo/demo_company.h"
#include "host/db/open_database.h"
#include "host/host_ui.h"
#include "host/settings_store.h"
#include "orva_build_paths.h"
#include "orvasaleprice/recordset.h"
#include "qt/controls/ledger_model.h"
#include "qt/controls/ledger_view.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/toolbar_binder.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/host_app.h"
#include "qt/hostapp/host_app_company.h"
#include "qt/hostapp/host_app_options.h"
#include "qt/windows/browse_window.h"
#include "qt_test_app.h"
#include "support/file_text.h"
#include "support/language_scope.h"
#include "support/read_only_folder.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"
#include "support/test_context.h"
#include "support/unprivileged.h"

namespace orva::qt {
namespace {

namespace fs = std::filesystem;
using orva::test::TempCompany;

using orva::test::PdfPages;
using orva::test::ReadFile;
using orva::test::WriteFile;

std::string Scalar(DbBackend& db, const std::string& sql) {
    RecordsetPtr rs = db.ExecuteBatch(sql).recordsets.at(0);
    return rs->EOF_() ? std::string() : rs->Fields(0).Value().ToText();
}

// What HostAppError or UsageError said, or "" when nothing was thrown.
template <class E, class F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return {};
}

// --- The command line -------------------------------------------------------

TEST(HostAppOptions, DefaultsAndEveryOption) {
    const HostAppOptions none = ParseHostAppOptions({});
    EXPECT_TRUE(none.database.empty());
    EXPECT_TRUE(none.user.empty());
    EXPECT_EQ(none.language, "CHS");
    EXPECT_EQ(none.mode, showedit);
    EXPECT_EQ(none.returnType, ReturnItem);
    EXPECT_FALSE(none.categoryByCust.has_value());
    EXPECT_FALSE(none.callByBill);
    EXPECT_FALSE(none.help);

    const HostAppOptions all = ParseHostAppOptions(
        {"--database", "DSN=erp;UID=u;PWD=p", "--user=zhangmin", "--language", "eng", "--mode",
         "SELECT", "--return", "class", "--customer", "01.01.001", "--item=1001", "--by-item",
         "--from-bill", "--screenshot", "shots", "--settings", "s.ini", "-h"});
    EXPECT_EQ(all.database, "DSN=erp;UID=u;PWD=p");  // "=" inside a separate value stays
    EXPECT_EQ(all.user, "zhangmin");
    EXPECT_EQ(all.language, "ENG");
    EXPECT_EQ(all.mode, ShowSelect);
    EXPECT_EQ(all.returnType, ReturnClass);
    EXPECT_EQ(all.customer, "01.01.001");
    EXPECT_EQ(all.item, "1001");
    EXPECT_EQ(all.categoryByCust, false);
    EXPECT_TRUE(all.callByBill);
    EXPECT_EQ(all.screenshotDir, "shots");
    EXPECT_EQ(all.settingsFile, "s.ini");
    EXPECT_TRUE(all.help);
    EXPECT_EQ(ParseHostAppOptions({"--by-customer"}).categoryByCust, true);
    EXPECT_EQ(ParseHostAppOptions({"--database=DRIVER=x;SERVER=y"}).database, "DRIVER=x;SERVER=y");
}

TEST(HostAppOptions, RefusesBadCommandLines) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--colour"}, "unknown option --colour"},
        {{"--user"}, "--user needs a value"},
        {{"--user", "  "}, "--user needs a value"},
        {{"--language", "FRA"}, "unknown language 'FRA'"},
        {{"--mode", "view"}, "unknown mode"},
        {{"--return", "row"}, "unknown return type"},
        {{"--by-item", "--by-customer"}, "given twice"},
        {{"--user", "a", "--user=b"}, "--user given twice"},
        {{"company.db"}, "unexpected argument 'company.db'"},
        {{"--from-bill=yes"}, "unknown option --from-bill"},
        {{"--customer", "1", "--export", "a.txt"}, "must end in .xlsx or .csv"},
        {{"--export", "a.csv"}, "--export needs --customer or --item"},
        {{"--item", "1", "--export", "a.csv", "--print-pdf", "a.pdf"}, "cannot be given together"},
        {{"--item", "1", "--print-pdf", "a.pdf", "--mode", "select"}, "with --mode select"},
    };
    for (const auto& [args, message] : cases) {
        const std::string error = ErrorOf<UsageError>([&] { ParseHostAppOptions(args); });
        EXPECT_NE(error.find(message), std::string::npos) << args.front() << ": " << error;
    }
}

TEST(HostAppOptions, SessionStringAndPrintedRecord) {
    EXPECT_EQ(HostSessionString("/tmp/a;b.db", 16395, "ENG"),
              "DBConnection={/tmp/a;b.db};UserID=16395;SubID=ic;LANGUAGE=ENG");
    Recordset rs(
        {"FEntryID", "FNote", "FPrice", "FQuoteTime"},
        {Variant(std::int64_t{42}), Variant(), Variant(12.5), Variant(*Date::Parse("2024-01-31"))});
    std::ostringstream out;
    PrintRecord(rs, out);
    EXPECT_EQ(out.str(), "FEntryID=42\nFNote=\nFPrice=12.5\nFQuoteTime=2024-01-31\n");
}

// --- The company database -------------------------------------------------

class HostAppCompanyTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = orva::test::MakeTempDir("orva-host-app"); }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string dir_;
    orva::test::LanguageScope chinese_{"CHS"};
};

TEST_F(HostAppCompanyTest, FilesThatAreNotCompaniesAreRefusedAndLeftAsTheyWere) {
    const std::string missing = dir_ + "/missing.db";
    EXPECT_EQ(ErrorOf<HostAppError>([&] { OpenCompany(missing); }), "公司数据库不存在：" + missing);
    EXPECT_FALSE(fs::exists(missing));

    const std::string text = dir_ + "/notes.txt";
    WriteFile(text, "not a database at all, but long enough to look like a header\n");
    const std::string empty = dir_ + "/empty.db";
    WriteFile(empty, "");
    const std::string foreign = dir_ + "/foreign.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "CREATE TABLE notes (t TEXT); INSERT INTO notes VALUES ('x');", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);

    for (const std::string& path : {text, empty, foreign}) {
        const std::string before = ReadFile(path);
        const std::string error = ErrorOf<HostAppError>([&] { OpenCompany(path); });
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(ReadFile(path), before) << path;
        EXPECT_FALSE(fs::exists(path + "-wal")) << path;
    }
    EXPECT_EQ(ErrorOf<HostAppError>([&] { OpenCompany(foreign); }),
              foreign + " 不是公司数据库（缺少表 t_CustEntry）。");
    EXPECT_EQ(ErrorOf<HostAppError>([&] { OpenCompany(dir_); }), dir_ + " 不是文件。");

    const std::string error = ErrorOf<HostAppError>([] { OpenCompany("DRIVER={X};SERVER=y"); });
    EXPECT_NE(error.find("“}”"), std::string::npos) << error;
    EXPECT_NE(ErrorOf<HostAppError>([] {
                  OpenCompany("DRIVER=OrvaNoSuchDriver;SERVER=y");
              }).find("无法连接公司数据库："),
              std::string::npos);
}

TEST_F(HostAppCompanyTest, DemoCompanyIsCreatedOnceInTheUsersDataFolder) {
    const std::string oldXdg = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("XDG_DATA_HOME", dir_.c_str(), 1);
    const std::string expected = dir_ + "/orvasaleprice/demo.db";
    EXPECT_EQ(DefaultCompanyPath(), expected);

    OpenedCompany first = OpenCompany("");
    EXPECT_TRUE(first.created);
    EXPECT_EQ(first.connection, expected);
    EXPECT_EQ(Scalar(*first.backend, "SELECT COUNT(*) FROM t_User WHERE FUserID=16394"), "1");
    first.backend.reset();
    OpenedCompany second = OpenCompany("");
    EXPECT_FALSE(second.created);
    EXPECT_EQ(second.connection, expected);

    setenv("XDG_DATA_HOME", "relative/path", 1);  // not absolute: ignored
    setenv("HOME", dir_.c_str(), 1);
    EXPECT_EQ(DefaultCompanyPath(), dir_ + "/.local/share/orvasaleprice/demo.db");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_NE(ErrorOf<HostAppError>([] { DefaultCompanyPath(); }).find("HOME"), std::string::npos);

    setenv("HOME", oldHome.c_str(), 1);
    if (!oldXdg.empty())
        setenv("XDG_DATA_HOME", oldXdg.c_str(), 1);
}

TEST_F(HostAppCompanyTest, UsersByNameOrIdAndOnlyThoseWhoMayLogOn) {
    TempCompany company;
    OpenedCompany opened = OpenCompany(company.path());
    DbBackend& db = *opened.backend;

    EXPECT_EQ(FindUser(db, "").id, demo::kAdminUserId);
    EXPECT_EQ(FindUser(db, "ZhangMin").id, demo::kGroupClerkUserId);
    const CompanyUser byId = FindUser(db, std::to_string(demo::kRecordClerkUserId));
    EXPECT_EQ(byId.name, demo::kRecordClerkUserName);
    EXPECT_EQ(ErrorOf<HostAppError>([&] { FindUser(db, "nobody"); }),
              "公司数据库中没有用户“nobody”。");
    // A group is not a user, whatever it is called.
    EXPECT_FALSE(ErrorOf<HostAppError>([&] { FindUser(db, "Sales"); }).empty());
    EXPECT_FALSE(
        ErrorOf<HostAppError>([&] { FindUser(db, std::to_string(demo::kSalesGroupId)); }).empty());

    db.ExecuteBatch(
        "UPDATE t_User SET FForbidden=1 WHERE FUserID=" + std::to_string(demo::kLimitedUserId) +
        " OR FUserID=" + std::to_string(demo::kAdminUserId));
    EXPECT_EQ(ErrorOf<HostAppError>([&] { FindUser(db, "wangfang"); }), "用户“wangfang”已被禁用。");
    EXPECT_NE(ErrorOf<HostAppError>([&] { FindUser(db, ""); }).find("--user"), std::string::npos);
}

// A connection that logged in as a company user's own role, as PostgreSQL's
// logins per user do.
class ClerkLoginBackend : public DbBackend {
  public:
    ClerkLoginBackend(DbBackend& db, std::string login) : db_(db), login_(std::move(login)) {}
    BatchResult ExecuteBatch(std::string_view tsql) override { return db_.ExecuteBatch(tsql); }
    std::int32_t NextNumber(std::string_view key) override { return db_.NextNumber(key); }
    std::string Describe() const override { return db_.Describe(); }
    std::optional<std::string> ClerkLogin() override { return login_; }

  private:
    DbBackend& db_;
    std::string login_;
};

TEST_F(HostAppCompanyTest, AClerksOwnLoginNamesTheUserWhenNoneIsGiven) {
    TempCompany company;
    OpenedCompany opened = OpenCompany(company.path());
    ClerkLoginBackend clerk(*opened.backend, std::string(demo::kGroupClerkUserName));
    EXPECT_EQ(FindUser(clerk, "").id, demo::kGroupClerkUserId);
    EXPECT_EQ(FindUser(clerk, "liqiang").id, demo::kRecordClerkUserId);  // refused later
}

TEST_F(HostAppCompanyTest, CustomersAndItemsByCodeShortCodeOrId) {
    TempCompany company;
    OpenedCompany opened = OpenCompany(company.path());
    DbBackend& db = *opened.backend;
    const std::string custId =
        Scalar(db, "SELECT FItemID FROM t_Organization WHERE FNumber='01.01.001'");
    const std::string shortCode =
        Scalar(db, "SELECT FShortNumber FROM t_Organization WHERE FNumber='01.01.001'");
    ASSERT_FALSE(shortCode.empty());
    EXPECT_EQ(std::to_string(FindCustomer(db, "01.01.001")), custId);
    EXPECT_EQ(std::to_string(FindCustomer(db, shortCode)), custId);
    EXPECT_EQ(std::to_string(FindCustomer(db, custId)), custId);
    // A code that is also a number is taken as the code first.
    EXPECT_EQ(std::to_string(FindCustomer(db, "99")),
              Scalar(db, "SELECT FItemID FROM t_Organization WHERE FNumber='99'"));
    EXPECT_EQ(ErrorOf<HostAppError>([&] { FindCustomer(db, "X'1"); }),
              "公司数据库中没有客户“X'1”。");

    const std::string itemId = Scalar(db, "SELECT FItemID FROM t_ICItem WHERE FNumber='03.01.001'");
    EXPECT_EQ(std::to_string(FindItem(db, "03.01.001")), itemId);
    EXPECT_EQ(std::to_string(FindItem(db, itemId)), itemId);
    // A customer's ID is no item.
    EXPECT_EQ(ErrorOf<HostAppError>([&] { FindItem(db, custId); }),
              "公司数据库中没有物料“" + custId + "”。");
}

// --- The program ----------------------------------------------------------

struct RunResult {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// Runs orva-saleprice with the arguments; `env` changes the environment
// (an empty value removes the variable). Offscreen unless told otherwise.
// `unprivileged`: run by a user who is not root.
RunResult RunProgram(const QStringList& args, const QList<QPair<QString, QString>>& env = {},
                     bool unprivileged = false) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (const auto& [name, value] : env) {
        if (value.isEmpty())
            environment.remove(name);
        else
            environment.insert(name, value);
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    std::vector<std::string> command = {ORVA_BINARY_DIR "/app/orva-saleprice"};
    for (const QString& a : args) command.push_back(U(a));
    if (unprivileged)
        command = orva::test::UnprivilegedCommand(command);
    QStringList rest;
    for (std::size_t i = 1; i < command.size(); ++i) rest << Q(command[i]);
    process.start(Q(command[0]), rest);
    RunResult r;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        r.crashed = true;
        return r;
    }
    r.crashed = process.exitStatus() != QProcess::NormalExit;
    r.exitCode = process.exitCode();
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

TEST(HostAppProgram, BadInputEndsWithAClearMessageAndItsExitStatus) {
    TempCompany company;
    const QString db = Q(company.path());
    struct Case {
        QStringList args;
        QList<QPair<QString, QString>> env;
        int exitCode;
        QString message;
    };
    const std::vector<Case> cases = {
        {{"--help"}, {}, kExitOk, ""},
        {{"--language", "FRA"}, {}, kExitUsage, "unknown language 'FRA'"},
        {{"--database", "/nonexistent/orva.db"},
         {},
         kExitFailure,
         "公司数据库不存在：/nonexistent/orva.db"},
        {{"--database", "/nonexistent/orva.db", "--language", "ENG"},
         {},
         kExitFailure,
         "The company database does not exist: /nonexistent/orva.db"},
        {{"--database", "DRIVER=OrvaNoSuchDriver;SERVER=nowhere"},
         {},
         kExitFailure,
         "无法连接公司数据库："},
        {{"--database", db, "--user", "nobody"}, {}, kExitFailure, "没有用户“nobody”"},
        {{"--database", db, "--customer", "no-such"}, {}, kExitFailure, "没有客户“no-such”"},
        {{"--database", db},
         {{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}},
         kExitFailure,
         "DISPLAY"},
        {{"--database", db},
         {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":731"}, {"WAYLAND_DISPLAY", ""}},
         kExitFailure,
         "无法打开图形显示。"},
    };
    for (const Case& c : cases) {
        const RunResult r = RunProgram(c.args, c.env);
        EXPECT_FALSE(r.crashed) << U(c.args.join(' '));
        EXPECT_EQ(r.exitCode, c.exitCode) << U(c.args.join(' ')) << "\n" << U(r.err);
        EXPECT_TRUE(r.err.contains(c.message)) << U(c.args.join(' ')) << "\n" << U(r.err);
    }
    EXPECT_TRUE(RunProgram({"--help"}).out.startsWith("Usage: orva-saleprice"));
}

TEST(HostAppProgram, ScreenshotsShowEveryWindowAndWriteNothing) {
    TempCompany company;
    // In rollback-journal mode, as a file on a share is kept: the run must
    // not switch it to WAL, nor write anything else.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(company.path().c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    const std::string bytes = ReadFile(company.path());
    auto db = OpenDatabase(company.path());
    auto state = [&db] {
        std::string all;
        for (const char* sql :
             {"SELECT COUNT(*) FROM t_CustEntry", "SELECT MAX(FEntryID) FROM t_CustEntry",
              "SELECT SUM(FUsed) FROM t_CustEntry", "SELECT COUNT(*) FROM t_Cust",
              "SELECT COUNT(*) FROM t_ICMaxNum"}) {
            all += Scalar(*db, sql) + "/";
        }
        return all;
    };
    const std::string before = state();
    const std::string dir = company.dir() + "/shots";

    const RunResult r = RunProgram({"--database", Q(company.path()), "--screenshot", Q(dir)});
    ASSERT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, kExitOk) << U(r.err);
    const QStringList printed = r.out.split('\n', Qt::SkipEmptyParts);
    QStringList expected;
    // The Chinese tour, then the English pictures from the same tour in English.
    for (const char* name :
         {"browse-customers", "browse-items", "editor-entry", "editor-new", "message-dialog",
          "min-price", "find", "sort", "filter", "filtered", "preview", "export", "adjust",
          "overlaps", "import", "browse-customers-eng", "editor-new-eng"}) {
        expected << Q(dir) + "/" + name + ".png";
    }
    EXPECT_EQ(printed, expected);
    for (const QString& path : printed) {
        const QImage image(path);
        EXPECT_GT(image.width(), 200) << U(path);
        EXPECT_GT(image.height(), 80) << U(path);
    }
    for (const char* name : {"browse-customers", "editor-new"}) {
        const QString picture = Q(dir) + "/" + name;
        EXPECT_NE(QImage(picture + ".png"), QImage(picture + "-eng.png")) << name;
    }
    EXPECT_EQ(state(), before);
    EXPECT_TRUE(ReadFile(company.path()) == bytes) << "the company file changed";
}

TEST(HostAppProgram, ExportAndPrintPdfWriteTheLeafsLedgerWithoutAWindow) {
    TempCompany company;
    auto db = OpenDatabase(company.path());
    const std::string custId =
        Scalar(*db, "SELECT FCustID FROM t_CustEntry GROUP BY FCustID ORDER BY COUNT(*) DESC");
    const QString cust = Q(Scalar(*db, "SELECT FNumber FROM t_Item WHERE FItemID=" + custId));
    const int entries =
        std::stoi(Scalar(*db, "SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + custId));
    const QString item =
        Q(Scalar(*db,
                 "SELECT i.FNumber FROM t_CustEntry e JOIN t_Item i ON i.FItemID=e.FItemID "
                 "GROUP BY e.FItemID ORDER BY COUNT(*) DESC"));
    // The viewers lose the print right, so the limited user holds none.
    db->ExecuteBatch("UPDATE t_OrvaAccessRight SET FRights=0 WHERE FUserID=" +
                     std::to_string(demo::kViewerGroupId));
    db.reset();
    const std::string dir = company.dir();
    const QString settings = Q(dir + "/settings.ini");
    const QString csv = Q(dir + "/ledger.csv");
    const QString xlsx = Q(dir + "/ledger.xlsx");
    const QString pdf = Q(dir + "/ledger.pdf");
    const QString denied = Q(dir + "/denied.pdf");

    struct Case {
        QStringList args;
        int exitCode;
        QString message;  // on standard error
    };
    const std::vector<Case> cases = {
        {{"--customer", cust, "--export", csv}, kExitOk, ""},
        {{"--customer", cust, "--export", xlsx}, kExitOk, ""},
        {{"--item", item, "--print-pdf", pdf}, kExitOk, ""},
        {{"--customer", cust, "--export", Q(dir + "/ledger.ods")}, kExitUsage, ".xlsx or .csv"},
        {{"--print-pdf", pdf}, kExitUsage, "needs --customer or --item"},
        {{"--customer", cust, "--export", Q(dir + "/no/such/folder.csv")},
         kExitFailure,
         "does not exist"},
        {{"--user", Q(std::string(demo::kLimitedUserName)), "--customer", cust, "--print-pdf",
          denied},
         kExitFailure,
         "没有权限"},
    };
    for (const Case& c : cases) {
        const RunResult r = RunProgram(
            QStringList{"--database", Q(company.path()), "--settings", settings} + c.args);
        const std::string what = U(c.args.join(' '));
        ASSERT_FALSE(r.crashed) << what;
        EXPECT_EQ(r.exitCode, c.exitCode) << what << "\n" << U(r.err);
        EXPECT_TRUE(r.err.contains(c.message)) << what << "\n" << U(r.err);
    }

    // The customer's ledger: a BOM, the caption row and one line per entry.
    const std::string text = ReadFile(U(csv));
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, static_cast<std::size_t>(entries) + 1);
    EXPECT_EQ(ReadFile(U(xlsx)).substr(0, 2), "PK");
    EXPECT_GE(PdfPages(U(pdf)), 1);
    EXPECT_FALSE(fs::exists(U(denied)));
}

// A company file its user may only read (an archived year: mode 444 in a
// folder of mode 555), opened by a user who is not root: a customer's ledger
// exports and prints, and nothing appears or changes in the file's folder.
TEST(HostAppProgram, ACompanyFileThatMayOnlyBeReadExportsAndPrints) {
    if (const std::string why = orva::test::UnprivilegedCannotReach(ORVA_BINARY_DIR); !why.empty())
        GTEST_SKIP() << why;
    TempCompany company;
    auto db = OpenDatabase(company.path());
    const QString cust = Q(Scalar(*db,
                                  "SELECT i.FNumber FROM t_CustEntry e JOIN t_Item i ON "
                                  "i.FItemID=e.FCustID GROUP BY i.FNumber ORDER BY COUNT(*) DESC"));
    db.reset();
    orva::test::ReadOnlyFolder archive;
    archive.Copy(company.path(), "2023.db");
    archive.Seal();
    const std::string before = orva::test::FolderListing(archive.dir());
    // Where that user writes what the program makes.
    const std::string out = orva::test::MakeTempDir("orva-read-only-out");
    fs::permissions(out, fs::perms::all);

    const std::pair<const char*, const char*> runs[] = {
        {"--export", "ledger.csv"}, {"--export", "ledger.xlsx"}, {"--print-pdf", "ledger.pdf"}};
    for (const auto& [option, file] : runs) {
        const std::string made = out + "/" + file;
        const RunResult r =
            RunProgram({"--database", Q(archive.File("2023.db")), "--settings",
                        Q(out + "/settings.ini"), "--customer", cust, option, Q(made)},
                       {}, true);
        ASSERT_FALSE(r.crashed) << file;
        EXPECT_EQ(r.exitCode, kExitOk) << file << "\n" << U(r.err);
        EXPECT_GT(ReadFile(made).size(), 100u) << file;
    }
    EXPECT_EQ(orva::test::FolderListing(archive.dir()), before);
    fs::remove_all(out);
}

// --- The program in this process, worked with the mouse and keys ---------

class HostAppRoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        settingsFile_ = company_.dir() + "/settings.ini";
    }

    // Runs the program with the arguments, in this process, on the test's
    // company; what it prints to standard output is kept in out_.
    int Run(std::vector<std::string> args) {
        std::vector<std::string> all = {"orva-saleprice", "--database", company_.path(),
                                        "--settings", settingsFile_};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::ostringstream out;
        std::streambuf* previous = std::cout.rdbuf(out.rdbuf());
        // A window nobody answers fails the test instead of hanging it.
        QTimer watchdog;
        watchdog.setInterval(kStuckMs);
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            if (QWidget* stuck = QApplication::activeModalWidget()) {
                auto* box = qobject_cast<QMessageBox*>(stuck);
                ADD_FAILURE() << "nobody answered " << stuck->metaObject()->className() << " "
                              << U(stuck->windowTitle()) << " " << (box ? U(box->text()) : "");
                stuck->close();
            }
        });
        watchdog.start();
        const int status = RunHostApp(static_cast<int>(all.size()), argv.data());
        std::cout.rdbuf(previous);
        out_ = out.str();
        return status;
    }
    std::string Scalar(const std::string& sql) {
        auto db = OpenDatabase(company_.path());
        return orva::qt::Scalar(*db, sql);
    }
    static QPoint RowPoint(BrowseWindow& w, int ledgerRow) {
        LedgerView* ledger = w.ledger();
        const QModelIndex index = ledger->model()->index(LedgerModel::ModelRow(ledgerRow), 2);
        ledger->scrollTo(index);
        return ledger->visualRect(index).center();
    }
    static void ClickToolbar(BrowseWindow& w, const char* key) {
        QTest::mouseClick(w.toolBar()->widgetForAction(w.toolbarBinder()->Action(key)),
                          Qt::LeftButton);
    }

    static constexpr int kStuckMs = 30000;
    TempCompany company_;
    std::string settingsFile_;
    std::string out_;
    orva::test::ScopedSession keepSession_{""};  // the program sets its own
    orva::test::TestContext ctx_;
    orva::test::LanguageScope chinese_{"CHS"};
};

TEST_F(HostAppRoadTest, EachModeEndsWithThePickedEntryNothingPickedOrASuccess) {
    std::string picked;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        auto* w = qobject_cast<BrowseWindow*>(d.Body());
        ASSERT_NE(w, nullptr);
        ASSERT_GE(w->logic().ldgBase().Rows(), 4);
        picked = w->logic().ldgBase().CellText(4, 1);
        QTest::mouseDClick(w->ledger()->viewport(), Qt::LeftButton, {}, RowPoint(*w, 4));
    });
    EXPECT_EQ(Run({"--mode", "select", "--customer", "01.01.001"}), kExitOk);
    ASSERT_FALSE(picked.empty());
    EXPECT_NE(out_.find("FEntryID=" + picked + "\n"), std::string::npos) << out_;
    const std::string cust = Scalar("SELECT FItemID FROM t_Organization WHERE FNumber='01.01.001'");
    EXPECT_NE(out_.find("FCustID=" + cust + "\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("FExpireDate="), std::string::npos) << out_;

    // With --return class a double click picks nothing; the user closes.
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        auto* w = qobject_cast<BrowseWindow*>(d.Body());
        ASSERT_NE(w, nullptr);
        QTest::mouseDClick(w->ledger()->viewport(), Qt::LeftButton, {}, RowPoint(*w, 3));
        EXPECT_TRUE(d.isVisible());
        d.close();
    });
    EXPECT_EQ(Run({"--mode", "select", "--return", "class", "--customer", "01.01.001"}),
              kExitNothingPicked);
    EXPECT_EQ(out_, "");

    // In maintenance mode Exit on the toolbar ends the program well, printing nothing.
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        auto* w = qobject_cast<BrowseWindow*>(d.Body());
        ASSERT_NE(w, nullptr);
        ClickToolbar(*w, "Exit");
    });
    EXPECT_EQ(Run({"--customer", "99"}), kExitOk);
    EXPECT_EQ(out_, "");
}

}  // namespace
}  // namespace orva::qt
