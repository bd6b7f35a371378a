// The readers of a price list, on files other programs wrote: openpyxl's
// .xlsx, a GB18030 CSV as Chinese spreadsheet programs save it, a UTF-8 CSV
// with a byte-order mark and CRLF, semicolon and tab separated text, quoted
// fields; and the files that must be refused with the file and the row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "import/csv_reader.h"
#include "import/table_file.h"
#include "import/text_encoding.h"
#include "import/zip_guard.h"
#include "import_files.h"

namespace orva::import {
namespace {

using test::ImportFiles;
using Rows = std::vector<std::vector<std::string>>;

Rows ReadAll(const std::string& path, std::vector<std::int64_t>* numbers = nullptr,
             const std::string& sheet = {}) {
    Rows rows;
    ReadTableFile(path, sheet, [&](SourceRow&& row) {
        if (numbers)
            numbers->push_back(row.number);
        rows.push_back(std::move(row.cells));
    });
    return rows;
}

class ReadersTest : public ::testing::Test {
  protected:
    ImportFiles files;
};

struct CsvCase {
    const char* name;
    std::string bytes;
    Rows expected;
};

TEST_F(ReadersTest, CsvEncodingsSeparatorsAndQuoting) {
    // "报价" in GB18030 is B1 A8 BC DB; "物料" is CE EF C1 CF.
    const CsvCase cases[] = {
        {"bom_crlf.csv",
         "\xEF\xBB\xBF物料代码,报价\r\nA01,12.5\r\n",
         {{"物料代码", "报价"}, {"A01", "12.5"}}},
        {"gb18030.csv",
         "\xCE\xEF\xC1\xCF,\xB1\xA8\xBC\xDB\r\nA01,3\r\n",
         {{"物料", "报价"}, {"A01", "3"}}},
        {"semicolon.csv", "a;b;c\n1;\"x;y\";3\n", {{"a", "b", "c"}, {"1", "x;y", "3"}}},
        {"tab.csv", "a\tb\n1,5\t2\n", {{"a", "b"}, {"1,5", "2"}}},
        {"quotes.csv",
         "a,b\n\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n",
         {{"a", "b"}, {"say \"hi\"", "two\r\nlines"}}},
        {"no_last_eol.csv", "a,b\n1,", {{"a", "b"}, {"1", ""}}},
        {"guarded.csv", "note\n'=HYPERLINK(\"x\")\n", {{"note"}, {"=HYPERLINK(\"x\")"}}},
    };
    for (const CsvCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAll(files.Write(c.name, c.bytes)), c.expected);
    }
}

TEST_F(ReadersTest, BlankLinesKeepTheRowNumbersASpreadsheetShows) {
    std::vector<std::int64_t> numbers;
    ReadAll(files.Write("gaps.csv", "a\r\n\r\nb\r\n\"c\nd\"\r\ne\r\n"), &numbers);
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{1, 3, 4, 5}));
}

TEST_F(ReadersTest, XlsxFromOpenpyxlWithFormulaAndSecondSheet) {
    const std::string path = files.Python("book.xlsx", R"PY(
ws = wb.active
ws.title = "Prices"
ws.append(["物料代码", "报价", "生效日期", "备注"])
ws.append(["A01", 12.5, datetime.date(2024, 3, 1), "=HYPERLINK(\"http://x\")"])
ws["B3"] = "=B2*2"
ws["A3"] = "A02"
ws["D3"] = "=HYPERLINK(\"http://y\")"
ws["D3"].data_type = "s"
ws.append([])
ws.append(["A03", 7])
other = wb.create_sheet("Other")
other.append(["x"])
)PY",
                                          // The value a spreadsheet program would have
                                          // computed and saved with the formula.
                                          R"PY(
import re
with zipfile.ZipFile(path) as z:
    parts = {n: z.read(n) for n in z.namelist()}
sheet = parts["xl/worksheets/sheet1.xml"].decode()
sheet = re.sub(r"<f>B2\*2</f>(<v>\s*</v>|<v\s*/>)?", "<f>B2*2</f><v>25</v>", sheet)
parts["xl/worksheets/sheet1.xml"] = sheet.encode()
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    for n, b in parts.items():
        z.writestr(n, b)
)PY");
    std::vector<std::int64_t> numbers;
    const Rows rows = ReadAll(path, &numbers);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"物料代码", "报价", "生效日期", "备注"}));
    EXPECT_EQ(rows[1][0], "A01");
    EXPECT_EQ(rows[1][1], "12.5");
    EXPECT_EQ(rows[1][2], "45352");  // the date's serial number
    // openpyxl stores a text starting with "=" as a formula without a cached
    // value; what a program computed is all the reader takes, never the formula.
    EXPECT_EQ(rows[1].size() > 3 ? rows[1][3] : "", "");
    EXPECT_EQ(rows[2][0], "A02");
    EXPECT_EQ(rows[2][1], "25");                        // the cached value of =B2*2
    EXPECT_EQ(rows[2][3], "=HYPERLINK(\"http://y\")");  // a text, as it stands
    EXPECT_EQ(numbers, (std::vector<std::int64_t>{1, 2, 3, 5}));
    EXPECT_EQ(ReadAll(path, nullptr, "Other"), (Rows{{"x"}}));
}

std::string Repeat(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

struct Hostile {
    const char* name;
    std::string bytes;
    SourceError::Kind kind;
    std::int64_t row;
};

TEST_F(ReadersTest, HostileFilesNameTheFileAndTheRow) {
    const Hostile cases[] = {
        {"nul.csv", std::string("a\r\nb\r\nx\0y\r\n", 11), SourceError::kNulByte, 3},
        // UTF-8 for the first 64 KiB, a broken byte after them.
        {"bad_utf8.csv", "a,b\n" + Repeat("\xE4\xBD\xA0,ok\n", 10000) + "1,\xC3\n",
         SourceError::kBadText, 10002},
        {"long.csv", "a\n" + std::string(1 << 20, 'x') + "\n", SourceError::kCellTooLong, 2},
        {"fake.xlsx", "a,b\n1,2\n", SourceError::kNotXlsx, 0},
        {"empty.csv", "", SourceError::kEmpty, 0},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            ReadAll(files.Write(c.name, c.bytes));
            ADD_FAILURE() << "read without complaint";
        } catch (const SourceError& e) {
            EXPECT_EQ(e.kind(), c.kind) << e.what();
            EXPECT_EQ(e.row(), c.row) << e.what();
            EXPECT_EQ(e.file(), c.name);
        }
    }
}

TEST_F(ReadersTest, GarbledGb18030IsRefusedNotGuessed) {
    // 0x81 0x20: a lead byte followed by no valid trail.
    try {
        ReadAll(files.Write("gb.csv", "\xCE\xEF\xC1\xCF\n\x81\x20x\n"));
        ADD_FAILURE();
    } catch (const SourceError& e) {
        EXPECT_EQ(e.kind(), SourceError::kBadText);
        EXPECT_EQ(e.row(), 2);
    }
}

TEST_F(ReadersTest, WorkbookRenamedCsvAndZipBombAndMergedCells) {
    const std::string book = files.Python("real.xlsx", "wb.active.append(['a'])\n");
    const std::string renamed = files.Path("real.csv");
    std::filesystem::copy_file(book, renamed);
    EXPECT_THROW(ReadAll(renamed), SourceError);

    // A workbook with one more part of 300 MiB of blanks: a few hundred
    // kilobytes on disk.
    const std::string bomb = files.Python("bomb.xlsx", "wb.active.append(['a'])", R"(
with zipfile.ZipFile(path, "a", zipfile.ZIP_DEFLATED) as z:
    with z.open("xl/padding.xml", "w") as part:
        for i in range(300):
            part.write(b" " * (1 << 20))
)");
    ASSERT_GT(*UnpackedSize(bomb), kMaxUnpackedBytes);
    try {
        ReadAll(bomb);
        ADD_FAILURE();
    } catch (const SourceError& e) {
        EXPECT_EQ(e.kind(), SourceError::kUnpackedSize);
    }

    const std::string merged = files.Python("merged.xlsx", R"(
ws = wb.active
ws.append(["物料代码", "报价"])
ws.append(["A01", 1])
ws.append(["A02", 2])
ws.merge_cells("A3:A4")
ws.row_dimensions[2].hidden = True
)");
    try {
        ReadAll(merged);
        ADD_FAILURE();
    } catch (const SourceError& e) {
        EXPECT_EQ(e.kind(), SourceError::kMergedCells);
        EXPECT_EQ(e.row(), 3);
    }
}

TEST_F(ReadersTest, HostileWorkbooks) {
    // openpyxl keeps to the 32,767 characters a cell may hold: the part is
    // rewritten with a cell of 1 MiB, as another program might write it.
    const std::string longCell = files.Python("long.xlsx", "wb.active.append(['备注', 'x'])", R"PY(
with zipfile.ZipFile(path) as z:
    parts = {n: z.read(n) for n in z.namelist()}
sheet = parts["xl/worksheets/sheet1.xml"].decode()
parts["xl/worksheets/sheet1.xml"] = sheet.replace("<t>x</t>", "<t>" + "x" * (1 << 20) + "</t>").encode()
with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
    for n, b in parts.items():
        z.writestr(n, b)
)PY");
    const std::string truncated = files.Path("cut.xlsx");
    {
        const std::string whole = files.Python("whole.xlsx", "wb.active.append(['a'])");
        std::ifstream in(whole, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        files.Write("cut.xlsx", bytes.substr(0, bytes.size() / 2));
    }
    const struct {
        std::string path;
        SourceError::Kind kind;
        std::int64_t row;
    } cases[] = {
        {longCell, SourceError::kCellTooLong, 1},
        {truncated, SourceError::kNotXlsx, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            ReadAll(c.path);
            ADD_FAILURE() << "read without complaint";
        } catch (const SourceError& e) {
            EXPECT_EQ(e.kind(), c.kind) << e.what();
            EXPECT_EQ(e.row(), c.row) << e.what();
        }
    }
}

TEST_F(ReadersTest, AMillionRowsStopAtTheCapWithoutKeepingThem) {
    const std::string path = files.Path("million.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << "物料代码,报价\n";
        for (int i = 0; i < 1000000; ++i) out << "A" << i << ",1\n";
    }
    std::int64_t seen = 0;
    try {
        ReadTableFile(path, {}, [&](SourceRow&&) { ++seen; });
        ADD_FAILURE();
    } catch (const SourceError& e) {
        EXPECT_EQ(e.kind(), SourceError::kTooManyRows);
        EXPECT_EQ(e.row(), kMaxDataRows + 2);
    }
    EXPECT_EQ(seen, kMaxDataRows + 1);
}

}  // namespace
}  // namespace orva::import
