// The export core: how cells are read by their column's kind, the CSV bytes,
// the XLSX read back by a spreadsheet library, and a file that is never
// left half-written.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/export/csv_writer.h"
#include "host/export/export_component.h"
#include "host/export/export_file.h"
#include "orva_build_paths.h"
#include "orvasaleprice/com_error.h"
#include "support/com_error_of.h"
#include "support/file_text.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

using orva::test::ReadFile;

// The output of a command.
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

class ExportFiles : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = test::MakeTempDir("orva-export"); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (fs::path(dir_) / name).string(); }
    // Files in the folder besides the named ones.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
        return names;
    }

    // Writes the table through the component, as the window drives it.
    bool Export(const std::string& path, ExportFormat format,
                const std::vector<ExportColumn>& columns,
                const std::vector<std::vector<std::string>>& rows) {
        ExportComponent c;
        c.SetCols(static_cast<int>(columns.size()));
        for (int k = 1; k <= c.Cols(); ++k) {
            c.SetColCaption(k, columns[k - 1].caption);
            c.SetColWidth(k, ExportComponent::kMaxColWidth);
            c.SetColKind(k, columns[k - 1].kind);
        }
        c.SetRows(static_cast<std::int64_t>(rows.size()));
        Subscription s = c.OnLoadData([&](std::int64_t r, ExportRow& d) {
            const auto& cells = rows[static_cast<std::size_t>(r - 1)];
            for (std::size_t k = 0; k < cells.size(); ++k)
                d.SetCell(static_cast<int>(k) + 1, cells[k]);
        });
        c.SetTarget({path, format});
        return c.Export("价格资料");
    }

    std::string dir_;
};

const std::vector<ExportColumn> kColumns = {
    {"物料代码", 255, ExportKind::kText},
    {"报价", 255, ExportKind::kNumber},
    {"生效日期", 255, ExportKind::kDate},
    {"备注", 255, ExportKind::kText},
};

TEST(ExportCell, TextIsReadByItsColumnsKind) {
    using T = ExportValue::Type;
    struct Case {
        ExportKind kind;
        const char* text;
        T type;
        double number;
        int decimals;
    };
    const Case cases[] = {
        {ExportKind::kText, "12.5", T::kText, 0, 0},  // a text column stays text
        {ExportKind::kNumber, "12.50", T::kNumber, 12.5, 2},
        {ExportKind::kNumber, " -3 ", T::kNumber, -3, 0},
        {ExportKind::kNumber, "0.125", T::kNumber, 0.125, 3},
        {ExportKind::kNumber, "007", T::kText, 0, 0},  // leading zeros: a code
        {ExportKind::kNumber, "1e5", T::kText, 0, 0},
        {ExportKind::kNumber, "1,000", T::kText, 0, 0},
        {ExportKind::kNumber, "5.", T::kText, 0, 0},
        {ExportKind::kNumber, "   ", T::kEmpty, 0, 0},
        {ExportKind::kDate, "2024-02-29", T::kDate, 0, 0},
        {ExportKind::kDate, "2023-02-29", T::kText, 0, 0},  // no such day
        {ExportKind::kDate, "2024-13-01", T::kText, 0, 0},
        {ExportKind::kDate, "2024/01/01", T::kText, 0, 0},
    };
    for (const Case& c : cases) {
        const ExportValue v = ClassifyCell(c.kind, c.text);
        EXPECT_EQ(v.type, c.type) << c.text;
        if (c.type == T::kNumber) {
            EXPECT_DOUBLE_EQ(v.number, c.number) << c.text;
            EXPECT_EQ(v.decimals, c.decimals) << c.text;
        }
    }
    const ExportValue date = ClassifyCell(ExportKind::kDate, "2100-01-01");
    EXPECT_EQ(date.year * 10000 + date.month * 100 + date.day, 21000101);
    for (const char* text : {"=1+1", "+86", "-x", "@SUM(A1)", "\tx", "\rx"})
        EXPECT_TRUE(LooksLikeFormula(text)) << text;
    for (const char* text : {"", "a=b", " =1", "'=1"}) EXPECT_FALSE(LooksLikeFormula(text)) << text;
}

// One row per branch of a CSV field: quoted when it holds a comma, a quote,
// CR or LF (quotes doubled); text a spreadsheet could run as a formula gets
// an apostrophe; numbers and dates go out trimmed and unguarded.
TEST(CsvField, QuotesAndGuardsEachCase) {
    using K = ExportKind;
    struct Case {
        K kind;
        std::string_view text;
        std::string_view field;
    };
    const Case cases[] = {
        {K::kText, "plain", "plain"},
        {K::kText, "a,b", "\"a,b\""},
        {K::kText, "say \"hi\"", "\"say \"\"hi\"\"\""},
        {K::kText, "a\nb", "\"a\nb\""},
        {K::kText, "a\rb", "\"a\rb\""},  // a lone CR ends a row for a reader too
        {K::kText, "a\r\nb", "\"a\r\nb\""},
        {K::kText, "=1+1", "'=1+1"},
        {K::kText, "+86", "'+86"},
        {K::kText, "-5", "'-5"},
        {K::kText, "@SUM(A1)", "'@SUM(A1)"},
        {K::kText, "\tx", "'\tx"},
        {K::kText, "\rx", "\"'\rx\""},  // guarded, then quoted
        {K::kText, "=\"a\",b", "\"'=\"\"a\"\",b\""},
        {K::kText, "a=b", "a=b"},
        {K::kText, " x ", " x "},  // blanks belong to the field
        {K::kText, "", ""},
        {K::kNumber, "-3", "-3"},  // a number, not a formula
        {K::kNumber, " 4.50 ", "4.50"},
        {K::kNumber, "-x", "'-x"},  // not a number: text, guarded
        {K::kNumber, "007", "007"},
        {K::kDate, " 2024-01-31 ", "2024-01-31"},
        {K::kDate, "-2024", "'-2024"},
    };
    for (const Case& c : cases) {
        std::string field;
        CsvWriter::AppendField(field, c.kind, c.text);
        EXPECT_EQ(field, c.field) << testing::PrintToString(std::string(c.text));
    }
}

TEST_F(ExportFiles, CsvHasBomCaptionsCommasAndCrlfRows) {
    const std::string path = Path("p.csv");
    ASSERT_TRUE(Export(path, ExportFormat::kCsv, kColumns,
                       {{"007", "12.50", "2024-01-31", "line1\r\nline2"}, {"@x"}}));
    EXPECT_EQ(ReadFile(path),
              "\xEF\xBB\xBF"
              "物料代码,报价,生效日期,备注\r\n"
              "007,12.50,2024-01-31,\"line1\r\nline2\"\r\n"
              "'@x,,,\r\n");
    EXPECT_EQ(Leftovers(), std::vector<std::string>{"p.csv"});
}

TEST_F(ExportFiles, XlsxReadBackHasTypedCellsFrozenBoldCaptionsAndNoFormulas) {
    const std::string path = Path("p.xlsx");
    ASSERT_TRUE(Export(path, ExportFormat::kXlsx, kColumns,
                       {{"007", "12.50", "2024-01-31", "=1+1"},
                        {"A-1", "3", "", "-minus"},
                        {"x", "n/a", "2024-02-30", "客户\n备注"}}));
    const std::string got =
        Output("/usr/bin/python3 " ORVA_SOURCE_DIR "/tests/host/read_xlsx.py '" + path + "' 2>&1");
    EXPECT_EQ(got,
              "sheet\t价格资料\n"
              "title\t价格资料\n"
              "freeze\tA2\n"
              "1\t1\ts\t'物料代码'\tGeneral\t1\n"
              "1\t2\ts\t'报价'\tGeneral\t1\n"
              "1\t3\ts\t'生效日期'\tGeneral\t1\n"
              "1\t4\ts\t'备注'\tGeneral\t1\n"
              "2\t1\ts\t'007'\tGeneral\t0\n"
              "2\t2\tn\t12.5\t0.00\t0\n"
              "2\t3\tdate\t'2024-01-31'\tyyyy-mm-dd\t0\n"
              "2\t4\ts\t'=1+1'\tGeneral\t0\n"
              "3\t1\ts\t'A-1'\tGeneral\t0\n"
              "3\t2\tn\t3\t0\t0\n"
              "3\t4\ts\t'-minus'\tGeneral\t0\n"
              "4\t1\ts\t'x'\tGeneral\t0\n"
              "4\t2\ts\t'n/a'\tGeneral\t0\n"
              "4\t3\ts\t'2024-02-30'\tGeneral\t0\n"
              "4\t4\ts\t'客户\\n备注'\tGeneral\t0\n");
}

TEST_F(ExportFiles, XlsxTextReadsBackAsItWasGiven) {
    const std::string path = Path("t.xlsx");
    ASSERT_TRUE(Export(path, ExportFormat::kXlsx, {{"备注_x0041_", 255, ExportKind::kText}},
                       {{"a\rb"}, {"a\r\nb"}, {"_x000D_"}, {"x\x01y"}, {"_X00e9_ _x12_"}}));
    EXPECT_EQ(
        Output("/usr/bin/python3 " ORVA_SOURCE_DIR "/tests/host/read_xlsx.py '" + path + "' 2>&1"),
        "sheet\t价格资料\n"
        "title\t价格资料\n"
        "freeze\tA2\n"
        "1\t1\ts\t'备注_x0041_'\tGeneral\t1\n"
        "2\t1\ts\t'a\\rb'\tGeneral\t0\n"
        "3\t1\ts\t'a\\r\\nb'\tGeneral\t0\n"
        "4\t1\ts\t'_x000D_'\tGeneral\t0\n"
        "5\t1\ts\t'x\\x01y'\tGeneral\t0\n"
        "6\t1\ts\t'_X00e9_ _x12_'\tGeneral\t0\n");
}

TEST_F(ExportFiles, ZeroRowsWriteTheCaptionsOnly) {
    const std::string path = Path("empty.csv");
    ASSERT_TRUE(Export(path, ExportFormat::kCsv, kColumns, {}));
    EXPECT_EQ(ReadFile(path), "\xEF\xBB\xBF物料代码,报价,生效日期,备注\r\n");
}

TEST_F(ExportFiles, FailuresAndCancelLeaveTheChosenFileAsItWas) {
    const std::string path = Path("keep.xlsx");
    { std::ofstream(path) << "before"; }
    std::vector<std::vector<std::string>> rows(600, {"A", "1", "2024-01-01", "n"});

    // A row source that fails halfway.
    ExportComponent failing;
    failing.SetCols(1);
    failing.SetRows(600);
    Subscription s = failing.OnLoadData([](std::int64_t r, ExportRow& d) {
        if (r == 300)
            throw ComError(ComError::kGeneric, "ledger gone");
        d.SetCell(1, "x");
    });
    failing.SetTarget({path, ExportFormat::kXlsx});
    EXPECT_THROW(failing.Export("t"), ComError);

    // A user who cancels while it runs.
    ScriptedUiScope ui;
    ui->CancelProgressAt(256);
    ExportComponent cancelling;
    cancelling.SetCols(1);
    cancelling.SetRows(600);
    cancelling.SetTarget({path, ExportFormat::kCsv});
    EXPECT_FALSE(cancelling.Export("t"));
    ASSERT_EQ(ui->Progresses().size(), 1u);
    EXPECT_EQ(ui->Progresses()[0].caption, "t");

    // A cell outside the declared columns is the caller's error.
    ExportComponent wide;
    wide.SetCols(1);
    wide.SetRows(1);
    Subscription w = wide.OnLoadData([](std::int64_t, ExportRow& d) { d.SetCell(2, "x"); });
    wide.SetTarget({path, ExportFormat::kCsv});
    EXPECT_THROW(wide.Export("t"), ComError);

    EXPECT_EQ(ReadFile(path), "before");
    EXPECT_EQ(Leftovers(), std::vector<std::string>{"keep.xlsx"});

    // A folder that does not exist, and a folder given as the file.
    for (const std::string& bad : {Path("no/such/dir.csv"), dir_}) {
        const auto e = test::ComErrorOf([&] { Export(bad, ExportFormat::kCsv, kColumns, rows); });
        ASSERT_TRUE(e) << bad;
        EXPECT_NE(std::string(e->what()).find(bad), std::string::npos) << e->what();
    }
    EXPECT_EQ(Leftovers(), std::vector<std::string>{"keep.xlsx"});
}

TEST_F(ExportFiles, ADiskThatFillsUpIsAClearFailureAndNoFile) {
    // A file size limit makes writes fail as on a full disk (EFBIG).
    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 32 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 20000; ++i)
        rows.push_back({"A" + std::to_string(i * 7919), std::to_string(i) + ".25", "2024-01-01",
                        "note " + std::to_string(i * 104729)});
    std::string message;
    for (ExportFormat format : {ExportFormat::kCsv, ExportFormat::kXlsx}) {
        try {
            Export(Path("full"), format, kColumns, rows);
        } catch (const ComError& e) {
            message += std::string(e.what()) + "\n";
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_NE(message.find("Cannot write " + Path("full") + ": File too large"), std::string::npos)
        << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 2) << message;
    EXPECT_TRUE(Leftovers().empty());
}

TEST(ExportPaths, FormatComesFromTheExtension) {
    EXPECT_EQ(FormatOfPath("/a/b.XLSX"), ExportFormat::kXlsx);
    EXPECT_EQ(FormatOfPath("b.csv"), ExportFormat::kCsv);
    EXPECT_EQ(FormatOfPath("b.xls"), std::nullopt);
    EXPECT_EQ(FormatOfPath("csv"), std::nullopt);
}

}  // namespace
}  // namespace orva
