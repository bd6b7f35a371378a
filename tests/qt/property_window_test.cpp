// The record editor's window used as a clerk would, on the demo company:
// keys typed into the grid, toolbar buttons and the title bar's close button
// clicked, questions answered in the real message boxes and dialogs.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "demo/demo_company.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/ledger.h"
#include "host/host_services.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"
#include "qt/dialogs/base_data_picker.h"
#include "qt/dialogs/message_box.h"
#include "qt/dialogs/message_dialog_view.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/property_view_registration.h"
#include "qt/windows/property_window.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "session/session.h"
#include "support/company_queries.h"
#include "support/language_scope.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::qt {
namespace {

using R = UserDefInfo;
using W = frmProperty;

class PropertyWindowTest : public ::testing::Test, protected orva::test::CompanyQueries {
  protected:
    void SetUp() override {
        test::App();
        RegisterHostServices();
        InitSessionProps(*ctx_, session_.propsString());
        ctx_->g_Connection = std::make_shared<AppConnection>();
        ctx_->g_CategoryByCust = true;
        SetCurrentUi(std::make_shared<QtHostUi>());
        RegisterPropertyView();
    }

    std::string CompanyPath() const override { return company_.path(); }
    std::int32_t Customer99() { return CustomerID("99"); }
    // A stored entry of customer 99 for the item, price 10, in its base unit.
    std::int32_t AddEntry(const std::string& item) {
        return CompanyQueries::AddEntry(Customer99(), ItemID(item), 10);
    }
    std::string Price(std::int32_t entry) {
        return Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }

    // Shows the window modally and runs `user` while it is up; a window the
    // user left open is a failure (and is closed so that the test ends).
    void Run(W& window, std::function<void(ModalWindowDialog&)> user) {
        bool ran = false;
        test::WhenModal<ModalWindowDialog>([&](ModalWindowDialog& d) {
            ran = true;
            view_ = qobject_cast<PropertyWindow*>(d.Body());
            ASSERT_NE(view_, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
            user(d);
            if (window.Visible()) {
                ADD_FAILURE() << "the window is still open";
                window.Hide();
            }
        });
        // A question nobody answers is a failure, not a hung test.
        QTimer watchdog;
        QWidget* stuck = nullptr;
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && !qobject_cast<ModalWindowDialog*>(modal) && modal == stuck) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                ADD_FAILURE() << "unanswered " << modal->metaObject()->className() << ": "
                              << (box ? U(box->text()) : std::string());
                modal->close();
            }
            stuck = modal;
        });
        watchdog.start(3000);
        window.Show();
        watchdog.stop();
        window.Unload();
        EXPECT_TRUE(ran);
        view_ = nullptr;
    }
    std::unique_ptr<W> Editor(std::int32_t entry = 0) {
        auto w = std::make_unique<W>(*ctx_);
        w->OperationType(EditorOperation::kSingle);
        w->CustID(Customer99());
        w->EntryID(entry);
        if (entry != 0)
            w->ItemID(std::stoi(
                Scalar("SELECT FItemID FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry))));
        return w;
    }

    // --- What the user does -------------------------------------------------
    QWidget* Focus() {
        // The offscreen platform does not hand activation back to the window
        // when a message box closes; a window manager would.
        if (!QApplication::activeWindow() && view_) {
            view_->window()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(view_->window()));
        }
        QWidget* w = QApplication::focusWidget();
        return w ? w : view_->grid();
    }
    void Type(const std::string& text) {
        for (char c : text) QTest::keyClick(Focus(), c);
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(Focus(), key, mods);
    }
    void ClickCell(int row) {
        SpreadView* grid = view_->grid();
        const QRect r = grid->visualRect(grid->model()->index(row - 1, R::kColText - 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }
    void ClickButton(const char* key) {
        QTest::mouseClick(view_->toolBar()->widgetForAction(view_->Button(key)), Qt::LeftButton);
    }
    // Answers the next message box with the button of that caption.
    static void AnswerBox(const std::string& expected, MsgResult button) {
        test::WhenModal<QMessageBox>([expected, button](QMessageBox& box) {
            EXPECT_EQ(box.text(), Q(expected));
            EXPECT_EQ(box.windowTitle(), "Tesmar提示");
            for (QAbstractButton* b : box.buttons()) {
                if (b->text() == Q(ButtonCaption(button))) {
                    QTest::mouseClick(b, Qt::LeftButton);
                    return;
                }
            }
            ADD_FAILURE() << "no button " << ButtonCaption(button);
            box.reject();
        });
    }

    std::string Cell(int row) const { return view_->logic().vaSProperty().GetText(2, row); }
    int ActiveRow() const { return view_->logic().vaSProperty().ActiveRow(); }
    bool Shown(const char* key) const { return view_->Button(key)->isVisible(); }

    orva::test::TempCompany company_;
    orva::test::ScopedSession session_{company_.path(), demo::kAdminUserId};
    orva::test::TestContext ctx_;
    orva::test::LanguageScope chinese_{"CHS"};
    PropertyWindow* view_ = nullptr;
};

TEST_F(PropertyWindowTest, NewEntryTypedAndSavedAfterTheLowPriceQuestion) {
    Exec(
        "UPDATE t_ICItem SET FSalePriceFixingType=1, FSoLowPrc=10, FSoLowPrcMnyType=1 "
        "WHERE FNumber='03.01.001'");
    Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    auto window = Editor();
    Run(*window, [&](ModalWindowDialog& d) {
        EXPECT_EQ(d.windowTitle(), "客户价格信息");
        for (const char* key : {W::kBtnNew, W::kBtnSave, W::kBtnExit}) EXPECT_TRUE(Shown(key));
        for (const char* key : {W::kBtnDelete, W::kBtnCheck, W::kBtnFirst, W::kBtnNext})
            EXPECT_FALSE(Shown(key)) << key;
        EXPECT_TRUE(view_->grid()->isColumnHidden(R::kColValue - 1));
        EXPECT_EQ(view_->grid()->currentIndex().row(), R::kRowItemNumber - 1);
        // The option changes while the window is open; it is read again when
        // the window is active again after the message box below.
        Exec("UPDATE t_SystemProfile SET FValue='1' WHERE FKey='AlertSELowPrice'");

        Type("zz.none");
        AnswerBox("物料不存在或需要数据授权！", MsgResult::kOK);
        Press(Qt::Key_Tab);
        EXPECT_EQ(ActiveRow(), R::kRowItemNumber);  // kept in the cell
        EXPECT_EQ(view_->grid()->currentIndex().row(), R::kRowItemNumber - 1);

        Press(Qt::Key_F2);  // edit the cell again
        Press(Qt::Key_A, Qt::ControlModifier);
        Type("03.01.001");
        Press(Qt::Key_Tab);
        EXPECT_EQ(Cell(R::kRowItemName), "电饭煲");
        EXPECT_EQ(Cell(R::kRowUnit), "个");
        EXPECT_EQ(ActiveRow(), R::kRowUnit);

        ClickCell(R::kRowPrice);
        Type("9");  // under the floor of 10; the cell is still being edited
        bool asked = false;
        test::WhenModal<MessageDialogView>([&](MessageDialogView& q) {
            asked = true;
            QTest::mouseClick(q.YesButton(), Qt::LeftButton);
        });
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(asked);
        EXPECT_GT(window->EntryID(), 0);
        // Now a stored entry: audit and steps.
        EXPECT_TRUE(Shown(W::kBtnCheck));
        EXPECT_TRUE(Shown(W::kBtnNext));
        ClickButton(W::kBtnExit);
    });
    EXPECT_FALSE(window->Visible());
    const std::string id = std::to_string(window->EntryID());
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + id), "9");
    EXPECT_EQ(Scalar("SELECT FItemID FROM t_CustEntry WHERE FEntryID=" + id),
              std::to_string(ItemID("03.01.001")));
    EXPECT_EQ(Scalar("SELECT FCustID FROM t_CustEntry WHERE FEntryID=" + id),
              std::to_string(Customer99()));
}

TEST_F(PropertyWindowTest, LettersAndQuotesNeverReachTheGridAndClosingAsks) {
    const std::int32_t entry = AddEntry("03.01.001");
    auto window = Editor(entry);
    Run(*window, [&](ModalWindowDialog& d) {
        EXPECT_TRUE(Shown(W::kBtnCheck));
        EXPECT_FALSE(window->Dirty());
        ClickCell(R::kRowPrice);
        Type("12a'3");
        Press(Qt::Key_Return);
        EXPECT_DOUBLE_EQ(std::stod(Cell(R::kRowPrice)), 123.0);
        ClickCell(R::kRowNote);
        Type("x\"y'z");
        Press(Qt::Key_Return);
        EXPECT_EQ(Cell(R::kRowNote), "xyz");
        EXPECT_TRUE(window->Dirty());

        // Esc does not close the window; the close button asks first.
        Press(Qt::Key_Escape);
        EXPECT_TRUE(window->Visible());
        AnswerBox("数据已经改变是否保存?", MsgResult::kNo);
        d.close();
    });
    EXPECT_EQ(Price(entry), "10");
    EXPECT_TRUE(window->RefreshOnExit);
}

TEST_F(PropertyWindowTest, CloseButtonSavesWhenTheUserSaysYes) {
    const std::int32_t entry = AddEntry("03.01.001");
    auto window = Editor(entry);
    Run(*window, [&](ModalWindowDialog& d) {
        // The settings tab: ticks go to the window's check boxes, and nothing
        // of the record can be run from there.
        view_->tabs()->setCurrentIndex(W::kTabSettings);
        QTest::mouseClick(view_->refreshBox(), Qt::LeftButton, {},
                          QPoint(8, view_->refreshBox()->height() / 2));
        EXPECT_FALSE(window->ChkRefresh().Checked());
        EXPECT_FALSE(view_->Button(W::kBtnSave)->isEnabled());
        view_->tabs()->setCurrentIndex(W::kTabProperty);
        EXPECT_TRUE(view_->Button(W::kBtnSave)->isEnabled());

        ClickCell(R::kRowPrice);
        Type("12.5");
        ASSERT_TRUE(view_->grid()->Editing());  // closed while still typing
        AnswerBox("数据已经改变是否保存?", MsgResult::kYes);
        d.close();
    });
    EXPECT_EQ(Price(entry), "12.5");
    EXPECT_FALSE(window->RefreshOnExit);
}

TEST_F(PropertyWindowTest, F7OpensTheItemPickerAndAPickFillsTheRows) {
    auto window = Editor();
    Run(*window, [&](ModalWindowDialog&) {
        Type("03.01");
        bool picked = false;
        test::WhenModal<BaseDataPicker>([&](BaseDataPicker& p) {
            picked = true;
            p.reject();
        });
        Press(Qt::Key_F7);
        EXPECT_TRUE(picked);
        // Cancelled: the row keeps what was typed, the user stays in the cell.
        EXPECT_EQ(Cell(R::kRowItemNumber), "03.01");
        EXPECT_EQ(ActiveRow(), R::kRowItemNumber);
        AnswerBox("数据已经改变是否保存?", MsgResult::kNo);
        ClickButton(W::kBtnExit);
    });
}

TEST_F(PropertyWindowTest, StepKeysMoveThroughTheLedgerAndAskAboutChangesFirst) {
    const std::int32_t first = AddEntry("03.01.001");
    const std::int32_t second = AddEntry("03.01.002");
    Ledger ledger;  // the browse window's list: title rows 1 and 2, then the entries
    ledger.SetCols(2);
    ledger.SetRows(4);
    ledger.SetCellText(3, 1, std::to_string(first));
    ledger.SetCellText(4, 1, std::to_string(second));
    ledger.SetSelRow(3);
    auto window = Editor(first);
    window->LDG(&ledger);
    Run(*window, [&](ModalWindowDialog&) {
        ClickCell(R::kRowPrice);
        Type("11");
        ASSERT_TRUE(view_->grid()->Editing());
        // The step saves what is being typed when the user says so.
        AnswerBox("数据已经改变是否保存?", MsgResult::kYes);
        Press(Qt::Key_PageDown, Qt::ShiftModifier);
        EXPECT_EQ(Cell(R::kRowItemNumber), "03.01.002");
        EXPECT_DOUBLE_EQ(std::stod(Cell(R::kRowPrice)), 10.0);
        EXPECT_FALSE(view_->grid()->Editing());
        EXPECT_FALSE(Shown(W::kBtnNew));

        bool told = false;
        test::WhenModal<MessageDialogView>([&](MessageDialogView& m) {
            told = m.findChild<QLabel*>("headline")->text() == "已经是最后一条记录了!!!";
            QTest::mouseClick(m.OkButton(), Qt::LeftButton);
        });
        Press(Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_TRUE(told);
        Press(Qt::Key_Home, Qt::AltModifier);
        EXPECT_EQ(Cell(R::kRowItemNumber), "03.01.001");
        EXPECT_EQ(ledger.SelRow(), 3);
        ClickButton(W::kBtnExit);
    });
    EXPECT_EQ(Price(first), "11");
    EXPECT_EQ(Price(second), "10");
}

// A new entry in each mode and grouping: the clerk fills in the other party
// and a price, clicks every locked row the grid shows (each is checked when
// left, by the customer or item it shows), ends on the customer's name and
// saves. No check keeps the clerk in a locked row, and the save or the batch
// runs to its end.
TEST_F(PropertyWindowTest, EveryLockedRowOfANewEntryCanBeLeftAndTheEntrySaved) {
    Exec(
        "UPDATE t_SystemProfile SET FValue='0' WHERE FKey IN "
        "('AlertSELowPrice','BatchAuditSalePrice')");
    auto group = [this](int itemClass, const char* number) {
        return std::stoi(Scalar("SELECT FItemID FROM t_Item WHERE FDetail=0 AND FItemClassID=" +
                                std::to_string(itemClass) + " AND FNumber='" + number + "'"));
    };
    const std::int32_t custGroup = group(1, "01.01");
    const std::int32_t itemGroup = group(4, "03.01");
    using Op = EditorOperation;
    struct Case {
        Op mode;
        bool byCust;
        const char* closing;  // how a batch's closing message begins
    };
    const Case cases[] = {
        {Op::kSingle, true, nullptr},           {Op::kSingle, false, nullptr},
        {Op::kBatchAdd, true, "此次共新增"},    {Op::kBatchAdd, false, "此次共新增"},
        {Op::kBatchUpdate, true, "此次共修改"}, {Op::kBatchUpdate, false, "此次共修改"},
        {Op::kBatchDelete, true, "此次共删除"}, {Op::kBatchDelete, false, "此次共删除"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.mode)) +
                     (c.byCust ? " by customer" : " by item"));
        // Each case starts from the demo's entries: none has this price.
        Exec("DELETE FROM t_CustEntry WHERE FPrice=12.34");
        ctx_->g_CategoryByCust = c.byCust;
        const bool single = c.mode == Op::kSingle;
        W window{*ctx_};
        window.OperationType(c.mode);
        // What the browse window passes: the selected customer or item, or
        // the group of a batch.
        if (c.byCust)
            window.CustID(single ? Customer99() : custGroup);
        else
            window.ItemID(single ? ItemID("03.01.001") : itemGroup);
        Run(window, [&](ModalWindowDialog&) {
            ClickCell(c.byCust ? R::kRowItemNumber : R::kRowCustNumber);
            Type(c.byCust ? "03.01.001" : "99");
            Press(Qt::Key_Tab);
            ClickCell(R::kRowPrice);
            Type("12.34");
            Press(Qt::Key_Tab);
            const Spread& grid = window.vaSProperty();
            std::vector<int> locked;
            for (int row = 1; row <= R::kRowCount; ++row) {
                if (!grid.RowHidden(row) && grid.Locked(R::kColText, row))
                    locked.push_back(row);
            }
            EXPECT_GE(locked.size(), 3u);
            locked.push_back(R::kRowCustName);  // active while saving
            for (int row : locked) {
                ClickCell(row);
                ASSERT_EQ(ActiveRow(), row);
            }
            std::string closing;
            if (c.closing) {
                test::WhenModal<QMessageBox>([&](QMessageBox& box) {
                    closing = U(box.text());
                    box.accept();
                });
            }
            ClickButton(c.mode == Op::kBatchDelete ? W::kBtnDelete : W::kBtnSave);
            if (c.closing) {
                EXPECT_TRUE(closing.starts_with(c.closing)) << closing;
            } else {
                EXPECT_GT(window.EntryID(), 0);
            }
            ClickButton(W::kBtnExit);
        });
        if (single || c.mode == Op::kBatchAdd) {
            EXPECT_GT(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FPrice=12.34"), 0);
        }
    }
}

// The designed size shows every row that is not hidden and every caption
// whole, in Chinese and in English. ORVA_GRAB_DIR, when set, receives a
// picture of each window for a person to look at.
TEST_F(PropertyWindowTest, EveryRowAndCaptionFitsTheWindow) {
    const std::int32_t entry = AddEntry("03.01.001");
    const QString grabDir = qEnvironmentVariable("ORVA_GRAB_DIR");
    for (const char* language : {"CHS", "ENG"}) {
        orva::test::LanguageScope scope(language);
        for (std::int32_t id : {entry, 0}) {
            auto window = Editor(id);
            Run(*window, [&](ModalWindowDialog& d) {
                SpreadView* grid = view_->grid();
                EXPECT_FALSE(grid->verticalScrollBar()->isVisible()) << language;
                const QFontMetrics metrics(grid->font());
                for (int row = 1; row <= R::kRowCount; ++row) {
                    if (grid->isRowHidden(row - 1))
                        continue;
                    const QString caption = Q(window->vaSProperty().GetText(1, row));
                    EXPECT_LE(metrics.horizontalAdvance(caption) + 6, grid->columnWidth(0))
                        << language << " " << U(caption);
                }
                EXPECT_TRUE(grid->isRowHidden(R::kRowDiscount - 1));
                EXPECT_TRUE(grid->isRowHidden(R::kRowUsed - 1));
                for (QAction* a : view_->toolBar()->actions()) {
                    auto* button = qobject_cast<QToolButton*>(view_->toolBar()->widgetForAction(a));
                    if (a->isVisible() && button) {
                        // On the bar, not in its overflow menu, and not cut.
                        EXPECT_TRUE(button->isVisible()) << language << " " << U(a->text());
                        EXPECT_GE(button->width(), button->sizeHint().width())
                            << language << " " << U(a->text());
                    }
                }
                if (!grabDir.isEmpty()) {
                    const QDir dir(grabDir);
                    const QString lang = QString::fromLatin1(language);
                    d.grab().save(dir.filePath(
                        QStringLiteral("editor-%1-%2.png").arg(lang, id ? "stored" : "new")));
                    view_->tabs()->setCurrentIndex(W::kTabSettings);
                    d.grab().save(dir.filePath(QStringLiteral("editor-%1-settings.png").arg(lang)));
                }
                ClickButton(W::kBtnExit);
            });
        }
    }
}

}  // namespace
}  // namespace orva::qt
