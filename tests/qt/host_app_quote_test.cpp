// orva-saleprice --quote run as a script runs it, without a display: the
// price that applies to a sales bill's line, and the exit status that says
// whether one entry applies, none, several, or the command line was bad.
#include <gtest/gtest.h>

#include <QStringList>
#include <string>
#include <vector>

#include "headless_run.h"
#include "host/db/open_database.h"
#include "qt/controls/qt_text.h"
#include "qt/hostapp/host_app_options.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

// The demo's customer 01.01.001 (short code BJ01, ID 1021) and item 01.01.001
// (JS001, ID 1098, base unit KG 106, also sold in T 107), with these entries
// only.
void PriceThePair(DbBackend& db) {
    db.ExecuteBatch("DELETE FROM t_CustEntry WHERE FCustID=1021 AND FItemID=1098");
    const char* rows[] = {
        "900001,1021,1098,106,0,100,10,1,'2024-01-01','2100-01-01',1",   // any day from 2024
        "900002,1021,1098,106,50,200,12,1,'2024-06-01','2025-01-01',1",  // overlaps the first
        "900003,1021,1098,106,0,0,99,1,'2020-01-01','2100-01-01',0",     // not audited
        "900004,1021,1098,107,0,0,20000,1,'2024-01-01','2100-01-01',1",  // per tonne
        "900005,1021,1098,106,0,0,1.5,2,'2024-01-01','2100-01-01',1",    // in USD
    };
    for (const char* row : rows) {
        db.ExecuteBatch(std::string("INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,"
                                    "FUnitID,FStartQty,FEndQty,FPrice,FCyID,FQuoteTime,"
                                    "FExpireDate,FUsed) VALUES ('0',") +
                        row + ")");
    }
}

TEST(HostAppQuote, ExitStatusSaysOneNoneOrSeveralAndPrintsThem) {
    test::TempCompany company;
    PriceThePair(*OpenDatabase(company.path()));
    const QString db = Q(company.path());
    const QStringList pair = {"--database", db, "--quote", "01.01.001", "01.01.001"};
    struct Case {
        QStringList args;
        int exitCode;
        QStringList entries;  // FEntryID= values printed, in order
        QString message;
    };
    const std::vector<Case> cases = {
        {pair + QStringList{"30", "--date", "2024-03-01"}, kExitOk, {"900001"}, ""},
        {pair + QStringList{"60", "--date", "2024-07-01"},
         kExitQuoteAmbiguous,
         {"900001", "900002"},
         "2 price entries apply"},
        {pair + QStringList{"150", "--date", "2024-07-01"}, kExitOk, {"900002"}, ""},
        {pair + QStringList{"300", "--date", "2025-01-01"}, kExitQuoteNone, {}, "No price entry"},
        {pair + QStringList{"5", "--date", "2023-12-31"}, kExitQuoteNone, {}, "No price entry"},
        {pair + QStringList{"3", "--unit", "T", "--date", "2024-03-01"}, kExitOk, {"900004"}, ""},
        {pair + QStringList{"3", "--currency", "USD", "--date", "2024-03-01"},
         kExitOk,
         {"900005"},
         ""},
        {pair + QStringList{"abc"}, kExitUsage, {}, "quantity 'abc'"},
        {pair + QStringList{"-1"}, kExitUsage, {}, "quantity '-1'"},
        {pair + QStringList{"5", "--date", "2024-02-30"}, kExitUsage, {}, "'2024-02-30'"},
        {pair + QStringList{"5", "--unit", "BOX"}, kExitUsage, {}, "no unit of measure \"BOX\""},
        {pair + QStringList{"5", "--currency", "XYZ"}, kExitUsage, {}, "no currency \"XYZ\""},
        {{"--database", db, "--quote", "BJ01", "01.01.001", "5"},
         kExitUsage,
         {},
         "no customer \"BJ01\""},
        {{"--database", db, "--quote", "01.01.001", "01.01.001"},
         kExitUsage,
         {},
         "needs CUSTOMER ITEM QTY"},
        {{"--database", db, "--unit", "KG"}, kExitUsage, {}, "go with --quote"},
        {{"--database", "/nonexistent/orva.db", "--quote", "a", "b", "1"},
         kExitQuoteFailure,
         {},
         "/nonexistent/orva.db"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U(c.args.join(' ')));
        const HeadlessRun r = RunHeadless(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << U(r.err);
        QStringList printed;
        for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts))
            printed << line.section(' ', 0, 0).section('=', 1);
        EXPECT_EQ(printed, c.entries) << U(r.out);
        EXPECT_TRUE(r.err.contains(c.message)) << U(r.err);
    }
}

TEST(HostAppQuote, PrintsThePriceBandAndPeriod) {
    test::TempCompany company;
    PriceThePair(*OpenDatabase(company.path()));
    const HeadlessRun r = RunHeadless({"--database", Q(company.path()), "--quote", "01.01.001",
                                       "01.01.001", "60", "--date", "2024-07-01"});
    EXPECT_EQ(r.out,
              "FEntryID=900001 FPrice=10 FStartQty=0 FEndQty=100 FQuoteTime=2024-01-01 "
              "FExpireDate=2100-01-01\n"
              "FEntryID=900002 FPrice=12 FStartQty=50 FEndQty=200 FQuoteTime=2024-06-01 "
              "FExpireDate=2025-01-01\n");
}

TEST(HostAppQuote, CodesAreShortCodesUnderTheUseShortNumberOption) {
    test::TempCompany company;
    {
        auto db = OpenDatabase(company.path());
        PriceThePair(*db);
        db->ExecuteBatch(
            "UPDATE t_SystemProfile SET FValue='1' WHERE FCategory='IC' AND FKey='UseShortNumber'");
    }
    const QStringList tail = {"30", "--date", "2024-03-01"};
    const QString db = Q(company.path());
    EXPECT_EQ(
        RunHeadless(QStringList{"--database", db, "--quote", "BJ01", "JS001"} + tail).exitCode,
        kExitOk);
    EXPECT_EQ(
        RunHeadless(QStringList{"--database", db, "--quote", "01.01.001", "JS001"} + tail).exitCode,
        kExitUsage);
}

}  // namespace
}  // namespace orva::qt
