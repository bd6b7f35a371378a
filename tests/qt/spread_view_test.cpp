// The spread's view used as a user would: keys typed into cells, moves
// refused by the window, function keys reaching the window's handler.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "host/controls/spread.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_model.h"
#include "qt/controls/spread_view.h"
#include "qt_test_app.h"

namespace orva::qt {
namespace {

// A property grid: captions in column 1, values in column 2, stored values
// in column 3; row 1 text, row 2 decimal, row 3 locked, row 4 hidden.
class SpreadViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        spread_.SetMaxCols(3);
        spread_.SetMaxRows(4);
        spread_.SetCellType(CellBlock::Column(1), CellType::StaticText());
        spread_.SetCellType(CellBlock::Cell(2, 1), CellType::Text(10));
        spread_.SetCellType(CellBlock::Cell(2, 2), CellType::Decimal(2, 0, 9999999.99));
        spread_.SetLock(CellBlock::Cell(2, 3), true);
        spread_.SetRowHidden(4, true);
        spread_.SetText(1, 1, "物料代码");
        spread_.SetText(1, 2, "报价");
        spread_.SetText(2, 3, "kept");
        changes_ = spread_.OnChange([this](int col, int row) { changed_.push_back({col, row}); });
        view_ = std::make_unique<SpreadView>(spread_);
        view_->ForceColumnHidden(3);
        view_->resize(420, 200);
        view_->show();
        view_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
        view_->setFocus();
    }

    // Keys go where the user's keys would: the focused widget (the cell's
    // editor once one is open).
    QWidget* Focus() {
        QWidget* w = QApplication::focusWidget();
        return w ? w : view_.get();
    }
    void Type(const QString& text) {
        for (QChar c : text) QTest::keyClick(Focus(), c.toLatin1());
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
    }
    void ClickCell(int col, int row) {
        const QRect r = view_->visualRect(view_->model()->index(row - 1, col - 1));
        QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, r.center());
    }

    Spread spread_;
    std::unique_ptr<SpreadView> view_;
    std::vector<std::pair<int, int>> changed_;
    Subscription changes_;
};

TEST_F(SpreadViewTest, DecimalCellRefusesLettersAndExtraDecimals) {
    spread_.SetActiveCell(2, 2);
    Type("4x2.5y78");
    Press(Qt::Key_Return);
    EXPECT_EQ(spread_.GetText(2, 2), "42.57");
    EXPECT_EQ(view_->model()->index(1, 1).data().toString(), "42.57");
    ASSERT_EQ(changed_.size(), 1u);
    EXPECT_EQ(changed_[0], std::make_pair(2, 2));

    // Letters alone change nothing: the cell keeps its number, no change event.
    spread_.SetActiveCell(2, 2);
    Type("abc");
    Press(Qt::Key_Return);
    EXPECT_EQ(spread_.GetText(2, 2), "42.57");
    EXPECT_EQ(changed_.size(), 1u);
}

TEST_F(SpreadViewTest, LockedCellCannotBeEdited) {
    spread_.SetActiveCell(2, 3);
    Type("55");
    EXPECT_FALSE(view_->Editing());
    const QRect r = view_->visualRect(view_->model()->index(2, 1));
    QTest::mouseDClick(view_->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_FALSE(view_->Editing());
    EXPECT_EQ(spread_.GetText(2, 3), "kept");
    EXPECT_TRUE(changed_.empty());
    // Drawn in the lock colour; the unlocked cell beside it in white.
    const auto background = [&](int row) {
        return view_->model()->index(row - 1, 1).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(background(3), QColor(255, 255, 160));
    EXPECT_EQ(background(2), QColor(Qt::white));
    // Locking an open cell later is drawn at once.
    spread_.SetLock(CellBlock::Cell(2, 2), true);
    EXPECT_EQ(background(2), QColor(255, 255, 160));
}

TEST_F(SpreadViewTest, F8ReachesTheWindowWithTheTypedText) {
    std::vector<std::pair<int, std::string>> keys;
    auto sub = spread_.OnKeyDown([&](int& code, int) {
        if (code >= 112)
            keys.push_back({code, spread_.GetText(spread_.ActiveCol(), spread_.ActiveRow())});
        if (code == 119)
            code = 0;  // consumed, as a lookup does
    });
    spread_.SetActiveCell(2, 1);
    Type("A0");
    ASSERT_TRUE(view_->Editing());
    Press(Qt::Key_F8);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].first, 119);
    EXPECT_EQ(keys[0].second, "A0");  // the handler saw what was typed
    EXPECT_FALSE(view_->Editing());
    Press(Qt::Key_F7);  // and outside an editor
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].first, 118);
}

TEST_F(SpreadViewTest, WindowCanKeepTheCursorInTheCell) {
    auto sub = spread_.OnLeaveCell([&](int col, int row, int, int, bool& cancel) {
        cancel = col == 2 && row == 1 && spread_.GetText(2, 1) == "bad";
    });
    spread_.SetActiveCell(2, 1);
    Type("bad");
    Press(Qt::Key_Tab);  // commits, then tries to leave
    EXPECT_EQ(spread_.GetText(2, 1), "bad");
    EXPECT_EQ(spread_.ActiveRow(), 1);
    EXPECT_EQ(view_->currentIndex().row(), 0);
    view_->CommitEdit();
    ClickCell(2, 2);
    EXPECT_EQ(spread_.ActiveRow(), 1);
    Press(Qt::Key_Down);
    EXPECT_EQ(spread_.ActiveRow(), 1);

    spread_.SetText(2, 1, "good");
    Press(Qt::Key_Down);
    EXPECT_EQ(spread_.ActiveRow(), 2);
    EXPECT_EQ(view_->currentIndex().row(), 1);
}

TEST_F(SpreadViewTest, TabGoesToTheNextCellThatCanBeTyped) {
    spread_.SetActiveCell(2, 1);
    Press(Qt::Key_Tab);
    EXPECT_EQ(spread_.ActiveCol(), 2);
    EXPECT_EQ(spread_.ActiveRow(), 2);
    // Row 3 is locked, row 4 hidden, column 3 never shown: back to row 1.
    Press(Qt::Key_Tab);
    EXPECT_EQ(spread_.ActiveCol(), 2);
    EXPECT_EQ(spread_.ActiveRow(), 1);
}

TEST_F(SpreadViewTest, HiddenRowsAndColumnsFollowTheSpread) {
    EXPECT_TRUE(view_->isRowHidden(3));
    EXPECT_TRUE(view_->isColumnHidden(2));  // column 3, forced
    EXPECT_FALSE(view_->isColumnHidden(1));
    spread_.SetRowHidden(4, false);
    spread_.SetRowHidden(2, true);
    EXPECT_FALSE(view_->isRowHidden(3));
    EXPECT_TRUE(view_->isRowHidden(1));
    spread_.SetColWidth(1, 2400);
    EXPECT_EQ(view_->columnWidth(0), 160);
    // Hidden while the window fills it, shown again afterwards.
    spread_.SetVisible(false);
    EXPECT_FALSE(view_->isVisible());
    spread_.SetVisible(true);
    EXPECT_TRUE(view_->isVisible());
}

TEST(SpreadModelTest, PassesTheItemModelTesterWhileTheGridChanges) {
    test::App();
    Spread spread;
    SpreadModel model(spread);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    spread.SetMaxCols(3);
    spread.SetMaxRows(16);
    spread.SetText(2, 5, "x");
    spread.SetCellType(CellBlock::Column(2), CellType::Decimal(2, 0, 100));
    EXPECT_EQ(model.rowCount(), 16);
    EXPECT_TRUE(model.setData(model.index(4, 1), "12.5"));
    EXPECT_FALSE(model.setData(model.index(4, 1), "abc"));
    EXPECT_EQ(model.index(4, 1).data().toString(), "12.50");
    EXPECT_EQ(model.index(4, 1).data(Qt::EditRole).toString(), "12.5");
    spread.SetRedraw(false);
    spread.SetMaxRows(2);
    spread.SetMaxCols(1);
    spread.SetRedraw(true);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 1);
    spread.SetMaxRows(0);
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace orva::qt
