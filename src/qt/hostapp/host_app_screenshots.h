// --screenshot: a guided tour of the module's windows that saves a picture of
// each. The program calls CustFace::Show as always; the tour watches the
// event loop for the window on top and acts on it as a user would through
// the windows' own commands, so the pictures are of the real windows:
//
//   browse-customers.png  the browse window on the customer tree
//   browse-items.png      the same window switched to the item tree
//   editor-entry.png      the record editor on a stored price entry
//   editor-new.png        the record editor on a new entry being typed
//   message-dialog.png    the question when a price is under the minimum
//   min-price.png         the minimum price dialog
//   find.png              the find dialog with a criterion on the price
//   sort.png              the sort dialog: price descending, then item code
//   filter.png            the filter dialog with a criterion on the price
//   filtered.png          the customer's ledger after that filter
//   preview.png           the print preview of the customer's whole ledger
//   export.png            the export's file dialog (cancelled)
//   adjust.png            the adjustment dialog previewing a 5 % rise (cancelled)
//   history.png           the price history of the customer's first entry
//                         (only on a company that keeps it)
//   import.png            the import's preview of a small price list (closed
//                         without importing)
//
// A tour may keep only some of its pictures and add a suffix to their names:
// the host application runs it a second time in English after a Chinese
// session, keeping browse-customers-eng.png and editor-new-eng.png.
//
// Nothing is saved: the new entry's price is chosen under the item's floor
// and the question is answered No (when that cannot be made certain, the
// editor is left with its unsaved-data question answered No instead).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orva {
class DbBackend;
}

namespace orva::qt {

// What the tour shows, chosen from the company before the window opens.
struct ScreenshotPlan {
    std::int32_t customerID = 0;  // a customer with many price entries
    std::int32_t itemID = 0;      // the item with the most price entries
    // An item with a floor for every customer, and a price well under it.
    std::string floorItemCode;
    std::string floorItemPrice;
};

// Reads the plan from the company (reads only). Zero IDs when the company
// has no price entries.
ScreenshotPlan PlanScreenshots(DbBackend& db);

class ScreenshotTour : public QObject {
    Q_OBJECT

  public:
    // How long a step waits for its window before the tour gives up.
    static constexpr int kStepTimeoutMs = 20000;

    ScreenshotTour(QString folder, ScreenshotPlan plan, QObject* parent = nullptr);
    // Keeps only the pictures named in `keep` (without suffix), saved as
    // <name><suffix>.png.
    ScreenshotTour(QString folder, ScreenshotPlan plan, QString suffix, QStringList keep,
                   QObject* parent = nullptr);

    // The pictures the English tour keeps.
    static QStringList EnglishPictures();

    // Starts watching; call before CustFace::Show.
    void Start();

    // The pictures written, in order.
    const QStringList& Saved() const { return saved_; }
    // Why the tour stopped early; empty when every picture was taken.
    const QString& Failure() const { return failure_; }

  private:
    struct Step {
        QString what;                           // for the failure text
        std::function<bool(QWidget*)> matches;  // the window on top is this step's
        std::function<void(QWidget*)> act;
        bool optional = false;  // skipped when the next step's window is up
    };

    void BuildSteps();
    void Tick();
    void Fail(const QString& why);
    void CloseEverything();
    // Saves a picture of the widget as <folder>/<name>.png, with the tool
    // tip shown over it when asked.
    void Grab(QWidget* widget, const QString& name, bool withToolTip = false);

    QString folder_;
    ScreenshotPlan plan_;
    QString suffix_;
    QStringList keep_;  // empty: every picture
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QPointer<QWidget> candidate_;
    int stableTicks_ = 0;
    qint64 stepStarted_ = 0;
    bool closing_ = false;
    QStringList saved_;
    QString failure_;
    QTimer timer_;
};

}  // namespace orva::qt
