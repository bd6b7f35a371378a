// Numbers and dates as spreadsheets and people write them.
#include <gtest/gtest.h>

#include "import/column_match.h"
#include "import/import_values.h"
#include "support/language_scope.h"

namespace orva::import {
namespace {

TEST(ImportValues, Numbers) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"12.5", 12.5},
        {" 1,234.50 ", 1234.5},
        {"1,234,567", 1234567.0},
        {"-3", -3.0},
        {"0", 0.0},
        {"", std::nullopt},
        {"1,23", std::nullopt},
        {"12,3456", std::nullopt},
        {"1e5", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1.2.3", std::nullopt},
        {"12 kg", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << c.text;
}

TEST(ImportValues, Dates) {
    const struct {
        const char* text;
        const char* date;  // nullptr: no date
    } cases[] = {
        {"2024-03-01", "2024-03-01"},
        {"2024/3/1", "2024-03-01"},
        {"2024.03.01", "2024-03-01"},
        {"20240301", "2024-03-01"},
        {"2024年3月1日", "2024-03-01"},
        {"2024-03-01 08:30:00", "2024-03-01"},
        {"45352", "2024-03-01"},
        {"45352.75", "2024-03-01"},
        {"60", nullptr},
        {"61", "1900-03-01"},
        {"2024-02-30", nullptr},
        {"2023-02-29", nullptr},
        {"next week", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto date = ParseDate(c.text);
        if (c.date)
            EXPECT_EQ(date ? date->ToText() : "none", c.date) << "[" << c.text << "]";
        else
            EXPECT_FALSE(date) << c.text << " read as " << date->ToText();
    }
}

TEST(ImportColumns, CaptionsInEitherLanguageAndTheLedgersOwn) {
    // A Chinese session: English captions are matched through the catalogue.
    test::LanguageScope chinese("CHS");
    // A ledger export by customer: its minimum-price columns and the key
    // column are no fields of an entry.
    const Columns exported = MatchColumns(
        {"物料代码", "物料名称", "规格型号", "计量单位", "销货量(从)", "销货量(到)", "报价", "币别",
         "提前期(天)", "内码", "最低限价币别", "金额", "生效日期", "审核状态", "失效日期", "备注"});
    EXPECT_EQ(exported[Field::kItemNumber], 0);
    EXPECT_EQ(exported[Field::kUnit], 3);
    EXPECT_EQ(exported[Field::kCurrency], 7);
    EXPECT_EQ(exported[Field::kLeadTime], 8);
    EXPECT_EQ(exported[Field::kQuoteTime], 12);
    EXPECT_FALSE(exported.Has(Field::kCustNumber));
    EXPECT_FALSE(exported.Has(Field::kDiscount));

    const Columns english = MatchColumns({" customer CODE ", "Item code", "Price", "Expiry date"});
    EXPECT_EQ(english[Field::kCustNumber], 0);
    EXPECT_EQ(english[Field::kItemNumber], 1);
    EXPECT_EQ(english[Field::kPrice], 2);
    EXPECT_EQ(english[Field::kExpireDate], 3);
}

}  // namespace
}  // namespace orva::import
