// orva-saleprice --import run as a script runs it, without a display: a
// workbook openpyxl wrote, planned with --dry-run (nothing written), then
// imported (written), then imported again (unchanged); refused rows on
// standard error with their row numbers and in the rejects file; the exit
// status 0, 1 or 2.
#include <gtest/gtest.h>

#include <QStringList>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "headless_run.h"
#include "host/db/open_database.h"
#include "qt/controls/qt_text.h"
#include "qt/hostapp/host_app_options.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

std::int64_t Count(DbBackend& db, const std::string& where) {
    auto result = db.ExecuteBatch("SELECT COUNT(*) FROM t_CustEntry WHERE " + where);
    return result.recordsets.back()->Fields(0).Value().ToInteger();
}

// A workbook as openpyxl writes it: English captions, the customer 01.01.001
// of the demo company and two of its items, in bands no entry has.
std::string Workbook(const std::string& dir, const std::string& extraRow) {
    const std::string path = dir + "/prices.xlsx";
    const std::string script = dir + "/make.py";
    std::ofstream(script) << "import datetime, openpyxl\n"
                             "wb = openpyxl.Workbook()\n"
                             "ws = wb.active\n"
                             "ws.append(['Customer code', 'Item code', 'Quantity from', "
                             "'Quantity to', 'Price', 'Effective date', 'Expiry date'])\n"
                             "ws.append(['01.01.001', '01.01.001', 1000, 2000, 99999.5, "
                             "datetime.date(2024, 1, 1), datetime.date(2100, 1, 1)])\n"
                             "ws.append(['01.01.001', '01.01.002', 1000, 2000, 88888, "
                             "datetime.date(2024, 1, 1), datetime.date(2100, 1, 1)])\n"
                          << extraRow << "wb.save('" << path << "')\n";
    EXPECT_EQ(std::system(("/usr/bin/python3 " + script).c_str()), 0);
    return path;
}

const char* const kNewRows = "FStartQty=1000 AND FEndQty=2000 AND FCustID=1021";

TEST(HostAppImport, DryRunThenImportThenNothingLeft) {
    test::TempCompany company;
    const QString db = Q(company.path());
    const QString file = Q(Workbook(company.dir(), ""));

    HeadlessRun r = RunHeadless({"--database", db, "--import", file, "--dry-run"});
    EXPECT_EQ(r.exitCode, kExitOk) << r.err.toStdString();
    EXPECT_EQ(r.out, "New: 2\n");
    EXPECT_EQ(Count(*OpenDatabase(company.path()), kNewRows), 0);

    r = RunHeadless({"--database", db, "--import", file});
    EXPECT_EQ(r.exitCode, kExitOk) << r.err.toStdString();
    EXPECT_EQ(r.out, "New: 2\n");
    EXPECT_EQ(Count(*OpenDatabase(company.path()), kNewRows), 2);

    r = RunHeadless({"--database", db, "--import", file, "--sheet", "Sheet"});
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out, "Unchanged: 2\n");
    EXPECT_EQ(Count(*OpenDatabase(company.path()), kNewRows), 2);
}

TEST(HostAppImport, RefusedRowsAreNamedAndWrittenBack) {
    test::TempCompany company;
    const QString db = Q(company.path());
    const QString file =
        Q(Workbook(company.dir(), "ws.append(['01.01.001', 'NO.SUCH', 0, 0, 1, None, None])\n"));
    const QString rejects = Q(company.dir() + "/rejects.csv");
    const HeadlessRun r = RunHeadless({"--database", db, "--import", file, "--rejects", rejects});
    EXPECT_EQ(r.exitCode, kExitFailure);
    EXPECT_EQ(r.out, "New: 2\nUnknown code: 1\n");
    EXPECT_EQ(r.err, "orva-saleprice: prices.xlsx, row 4: No such item code: NO.SUCH\n");
    // The rows before the refused one are written all the same.
    EXPECT_EQ(Count(*OpenDatabase(company.path()), kNewRows), 2);
    std::ifstream in(company.dir() + "/rejects.csv");
    std::string header, row;
    std::getline(in, header);
    std::getline(in, row);
    EXPECT_EQ(row, "4,01.01.001,NO.SUCH,0,0,1,,,No such item code: NO.SUCH\r");
}

TEST(HostAppImport, BadCommandLinesAndUnreadableFiles) {
    test::TempCompany company;
    const QString db = Q(company.path());
    const QString file = Q(Workbook(company.dir(), ""));
    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{"--import", file, "--customer", "01.01.001", "--item", "01.01.001"}, kExitUsage},
        {{"--dry-run"}, kExitUsage},
        {{"--sheet", "Prices"}, kExitUsage},
        {{"--import", file, "--sheet", "No such sheet"}, kExitFailure},
        {{"--import", file, "--rejects", "out.txt"}, kExitUsage},
        {{"--import", file, "--customer", "NO.SUCH"}, kExitUsage},
        {{"--import", Q(company.dir() + "/missing.csv")}, kExitFailure},
        {{"--import", db}, kExitFailure},  // a SQLite file, not a price list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const HeadlessRun r = RunHeadless(QStringList{"--database", db} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    }
    EXPECT_EQ(Count(*OpenDatabase(company.path()), kNewRows), 0);
}

}  // namespace
}  // namespace orva::qt
