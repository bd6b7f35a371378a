// The ledger's view: rows asked of the owner only when painted, the two
// title rows with their merges above the scrolling rows, and the user's
// double click and keys reaching the ledger's events.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFontInfo>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <set>

#include "host/controls/ledger.h"
#include "qt/controls/cjk_fonts.h"
#include "qt/controls/ledger_header.h"
#include "qt/controls/ledger_model.h"
#include "qt/controls/ledger_view.h"
#include "qt_test_app.h"

namespace orva::qt {
namespace {

// An owner that answers any row and remembers which rows it was asked for.
class CountingSource : public LedgerSource {
  public:
    std::string RowText(int row) override {
        asked.insert(row);
        ++fetches;
        if (row == 1)
            return "|编号|名称|最低限价||";
        if (row == 2)
            return "|||币别|金额|";
        return std::to_string(row) + "|C" + std::to_string(row) + "|客户" + std::to_string(row) +
               "|RMB|" + std::to_string(row % 7) + ".50|";
    }
    std::set<int> asked;
    int fetches = 0;
};

class LedgerViewTest : public ::testing::Test {
  protected:
    void Build(int dataRows) {
        test::App();
        ledger_.SetSource(&source_);
        ledger_.SetCols(5);
        ledger_.SetRows(dataRows + 2);
        ledger_.SetColHidden(1, true);
        ledger_.Merge(1, 2, 2, 2);
        ledger_.Merge(1, 3, 2, 3);
        ledger_.Merge(1, 4, 1, 5);
        ledger_.SetColAlignment(5, Ledger::kAlignRight);
        view_ = std::make_unique<LedgerView>(ledger_);
        view_->resize(640, 320);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
        view_->grab();  // paints
    }
    QPoint RowCenter(int ledgerRow, int col = 2) {
        return view_->visualRect(view_->model()->index(LedgerModel::ModelRow(ledgerRow), col - 1))
            .center();
    }

    CountingSource source_;
    Ledger ledger_;
    std::unique_ptr<LedgerView> view_;
};

TEST_F(LedgerViewTest, AsksOnlyForTheRowsOnScreen) {
    Build(100000);
    auto dataRowsAsked = [&] {
        return std::count_if(source_.asked.begin(), source_.asked.end(),
                             [](int r) { return r > 2; });
    };
    EXPECT_GT(dataRowsAsked(), 3);
    EXPECT_LT(dataRowsAsked(), 40);
    EXPECT_TRUE(source_.asked.count(3));
    view_->scrollToBottom();
    view_->grab();
    EXPECT_TRUE(source_.asked.count(100002));
    EXPECT_LT(dataRowsAsked(), 80);
    EXPECT_EQ(view_->model()->index(LedgerModel::ModelRow(100002), 2).data().toString(),
              "客户100002");
    EXPECT_EQ(view_->model()->index(0, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                  Qt::AlignRight,
              Qt::AlignRight);
}

TEST_F(LedgerViewTest, DoubleClickDeleteAndEnterReachTheLedger) {
    Build(20);
    int dblClicks = 0;
    std::vector<int> keys;
    auto dbl = ledger_.OnDblClick([&] { ++dblClicks; });
    auto key = ledger_.OnKeyDown([&](int& code, int shift) {
        if (shift == 0 && (code == 46 || code == 13)) {
            keys.push_back(code);
            code = 0;
        }
    });
    QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, RowCenter(5));
    EXPECT_EQ(dblClicks, 1);
    EXPECT_EQ(ledger_.SelRow(), 5);
    EXPECT_EQ(ledger_.Text(), "C5");  // the clicked cell is current

    QTest::keyClick(view_.get(), Qt::Key_Delete);
    QTest::keyClick(view_.get(), Qt::Key_Return);
    EXPECT_EQ(keys, (std::vector<int>{46, 13}));
    QTest::keyClick(view_.get(), Qt::Key_Down);  // not the window's: moves the selection
    EXPECT_EQ(ledger_.SelRow(), 6);

    // The window selecting a row is shown, scrolled into view.
    ledger_.SetSelRow(20);
    EXPECT_EQ(view_->currentIndex().row(), LedgerModel::ModelRow(20));
    EXPECT_TRUE(view_->viewport()->rect().contains(RowCenter(20)));
}

// Qt's own moves and clicks that would drop the highlight of the row the
// ledger holds selected: after each, the one highlighted row is the ledger's
// selected row (the row the window's commands act on).
TEST_F(LedgerViewTest, TheHighlightedRowIsAlwaysTheLedgersSelectedRow) {
    Build(20);
    auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [this, k, m] { QTest::keyClick(view_.get(), k, m); };
    };
    auto ctrlClick = [&](int row, int col) {
        return [this, row, col] {
            QTest::mouseClick(view_->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              RowCenter(row, col));
        };
    };
    struct Case {
        const char* what;
        int row, col;  // the cell clicked first
        std::function<void()> act;
        int selRow;
    };
    const Case cases[] = {
        {"Ctrl+Home on the first row", 3, 4, key(Qt::Key_Home, Qt::ControlModifier), 3},
        {"Ctrl+End on the last row", 22, 2, key(Qt::Key_End, Qt::ControlModifier), 22},
        {"Ctrl+Right within the row", 7, 2, key(Qt::Key_Right, Qt::ControlModifier), 7},
        {"Ctrl+Space", 7, 3, key(Qt::Key_Space, Qt::ControlModifier), 7},
        {"Ctrl+click on the selected cell", 9, 3, ctrlClick(9, 3), 9},
        {"Ctrl+click on another cell of the row", 9, 3, ctrlClick(9, 5), 9},
        {"Ctrl+Home from another row", 12, 3, key(Qt::Key_Home, Qt::ControlModifier), 3},
        {"Down", 12, 3, key(Qt::Key_Down), 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, RowCenter(c.row, c.col));
        ASSERT_EQ(ledger_.SelRow(), c.row);
        c.act();
        EXPECT_EQ(ledger_.SelRow(), c.selRow);
        const QModelIndexList highlighted = view_->selectionModel()->selectedRows();
        EXPECT_EQ(highlighted.size(), 1);
        if (!highlighted.isEmpty()) {
            EXPECT_EQ(LedgerModel::LedgerRow(highlighted[0].row()), c.selRow);
        }
    }
}

TEST_F(LedgerViewTest, TitleRowsAreDrawnWithTheirMerges) {
    Build(5);
    LedgerHeader* header = view_->header();
    const int h = header->height();
    EXPECT_GE(h, 2 * view_->fontMetrics().height());
    // Columns 2 and 3: one cell over both title rows.
    EXPECT_EQ(header->TitleCellRect(1, 2).height(), h);
    EXPECT_EQ(header->TitleCellRect(2, 3), header->TitleCellRect(1, 3));
    // "最低限价" spans columns 4 and 5 in row 1; row 2 has a cell for each.
    EXPECT_EQ(header->TitleCellRect(1, 4).width(), view_->columnWidth(3) + view_->columnWidth(4));
    EXPECT_EQ(header->TitleCellRect(1, 5), header->TitleCellRect(1, 4));
    EXPECT_EQ(header->TitleCellRect(2, 5).width(), view_->columnWidth(4));
    EXPECT_EQ(header->TitleCellRect(2, 5).top(), h / 2);
    // The pointer over a title names it whole: the merged cell's text over
    // column 5's first row, the column's own in its second.
    EXPECT_EQ(header->TitleTextAt(header->TitleCellRect(1, 5).bottomRight()), "最低限价");
    EXPECT_EQ(header->TitleTextAt(header->TitleCellRect(2, 5).center()), "金额");
    EXPECT_EQ(header->TitleTextAt(header->TitleCellRect(1, 2).center()), "编号");
    // Hidden column 1 has no cell; widths are the ledger's, in twips.
    EXPECT_TRUE(view_->isColumnHidden(0));
    EXPECT_TRUE(header->TitleCellRect(1, 1).isEmpty());
    ledger_.SetColWidth(3, 1500);
    EXPECT_EQ(view_->columnWidth(2), 100);
    ledger_.SetColHidden(1, false);
    EXPECT_FALSE(view_->isColumnHidden(0));
    // A width dragged by the user goes back to the ledger.
    header->resizeSection(1, 150);
    EXPECT_EQ(ledger_.ColWidth(2), 2250);
}

TEST_F(LedgerViewTest, TitleFontRendersChinese) {
    Build(3);
    ledger_.SetTextlineFontName(1, "宋体");
    ledger_.SetTextlineFontCharset(1, 134);
    EXPECT_TRUE(view_->font().families().contains("Noto Serif CJK SC"));
    EXPECT_TRUE(QFontMetrics(view_->font()).inFont(QChar(0x4EF7)));  // 价
    EXPECT_TRUE(QFontMetrics(view_->header()->font()).inFont(QChar(0x4EF7)));
}

TEST(LedgerModelTest, PassesTheItemModelTesterWhileTheLedgerChanges) {
    test::App();
    CountingSource source;
    Ledger ledger;
    ledger.SetSource(&source);
    LedgerModel model(ledger);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ledger.SetCols(5);
    ledger.SetRows(2);
    EXPECT_EQ(model.rowCount(), 0);
    ledger.SetRows(52);
    EXPECT_EQ(model.rowCount(), 50);
    ledger.SetRowText(1, "|a|b|c|d|");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "a");
    ledger.SetRowBkColor(3, Rgb(255, 0, 0));
    EXPECT_EQ(model.index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::red));
    ledger.ForceRefresh();
    ledger.Clear();
    ledger.SetCols(3);
    ledger.SetRows(10);
    EXPECT_EQ(model.rowCount(), 8);
    EXPECT_EQ(model.columnCount(), 3);
    ledger.SetRows(0);
    EXPECT_EQ(model.rowCount(), 0);
}

// A source that marks row 4 with a note.
class MarkingSource : public CountingSource {
  public:
    bool RowMarked(int row) override { return row == 4; }
    std::string RowNote(int row) override { return row == 4 ? "重叠" : ""; }
};

TEST(LedgerModelTest, MarkedRowShowsItsSignBackgroundAndNote) {
    test::App();
    MarkingSource source;
    Ledger ledger;
    ledger.SetSource(&source);
    LedgerModel model(ledger);
    ledger.SetCols(5);
    ledger.SetRows(6);
    ledger.SetColHidden(1, true);
    const QModelIndex marked = model.index(1, 1);  // ledger row 4, column 2
    EXPECT_EQ(marked.data(Qt::DisplayRole).toString(), "C4");
    EXPECT_EQ(marked.data(Qt::ToolTipRole).toString(), QString::fromUtf8("C4\n重叠"));
    EXPECT_EQ(marked.data(Qt::BackgroundRole).value<QBrush>().color(),
              LedgerModel::kMarkedRowColor);
    // The sign stands in the first column shown only.
    EXPECT_FALSE(marked.data(Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_FALSE(model.index(1, 2).data(Qt::DecorationRole).isValid());
    const QModelIndex plain = model.index(0, 1);
    EXPECT_EQ(plain.data(Qt::ToolTipRole).toString(), "C3");
    EXPECT_NE(plain.data(Qt::BackgroundRole).value<QBrush>().color(), LedgerModel::kMarkedRowColor);
    EXPECT_FALSE(plain.data(Qt::DecorationRole).isValid());
}

}  // namespace
}  // namespace orva::qt
