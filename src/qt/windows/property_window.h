// The record editor's window on screen, drawn around the frmProperty logic:
// the toolbar TbPrice, the tab control with the property grid on its first
// tab and the four settings check boxes on its second, and the status bar.
// Every control is a view of the logic's model and follows its notices.
//
// Keys reach the window before its controls, as the logic expects: Ctrl+S,
// Ctrl+N and Home/End/Page Up/Page Down with Shift, Ctrl or Alt go to the
// logic's key-down handler first (an open cell editor hands its text to the
// cell before a command runs), and the quote characters are dropped before
// any control sees them. Function keys (F7, F8) and leaving a cell go
// through the grid to the logic, which may keep the cursor in the cell.
//
// Activation: the logic reads the minimum-price alert option when it is
// shown; each later activation of the window (back from a dialog or from
// another program) reads it again and leaves the cursor where it was.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

class QAction;
class QCheckBox;
class QLineEdit;
class QStatusBar;
class QTabWidget;
class QToolBar;

namespace orva {
class CheckBox;
class frmProperty;
}  // namespace orva

namespace orva::qt {

class SpreadView;
class ToolbarBinder;

class PropertyWindow : public QWidget {
    Q_OBJECT

  public:
    explicit PropertyWindow(frmProperty& logic, QWidget* parent = nullptr);
    ~PropertyWindow() override;

    frmProperty& logic() const { return logic_; }
    QToolBar* toolBar() const { return toolBar_; }
    // The toolbar action of a button key ("Save", "Exit", ...), or null.
    QAction* Button(const std::string& key) const;
    QTabWidget* tabs() const { return tabs_; }
    SpreadView* grid() const { return grid_; }
    QStatusBar* statusBar() const { return statusBar_; }
    QCheckBox* refreshBox() const { return refreshBox_; }
    QCheckBox* helpBox() const { return helpBox_; }
    QCheckBox* errorBox() const { return errorBox_; }
    QCheckBox* clearBox() const { return clearBox_; }

    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private Q_SLOTS:
    void OnEditorTextEdited(const QString& text);

  private:
    QWidget* BuildPropertyPage();
    QWidget* BuildSettingsPage();
    QCheckBox* AddCheckBox(CheckBox& model, QWidget* page, const char* name);
    // True when the key event was used by the window.
    bool WindowKey(QKeyEvent& key);
    // The toolbar button a window key clicks while it is shown, or null.
    const char* ShownButtonFor(int keyCode, int shift) const;
    void OnActivated();
    void FitColumns();
    bool InThisWindow(QObject* object) const;

    frmProperty& logic_;
    QToolBar* toolBar_ = nullptr;
    ToolbarBinder* toolbarBinder_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    SpreadView* grid_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QCheckBox* refreshBox_ = nullptr;
    QCheckBox* helpBox_ = nullptr;
    QCheckBox* errorBox_ = nullptr;
    QCheckBox* clearBox_ = nullptr;
    QPointer<QLineEdit> editor_;
    bool activatedOnce_ = false;
    bool fitting_ = false;
};

}  // namespace orva::qt
