// The platform of the public-API host built against the installed packages
// (CMakeLists.txt here, pkg-config alike): what an ERP client written with
// Qt has before it creates CustFace, reached through include/orvasaleprice
// and Qt alone. A QApplication; the module's Qt face; the session of the
// demo company's administrator on a company file made by the installed
// orva-demo-db; and a user who, once the browse window shows the ledger of
// the preselected customer, selects its first price entry and presses Enter,
// as a clerk at the keyboard does.
//
//   public_host COMPANY_FILE CUSTOMER_ID
#include <QAbstractItemModel>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "orvasaleprice/host_session.h"
#include "orvasaleprice/qt_face.h"
#include "platform.h"

namespace {

// The administrator of the demo company orva-demo-db writes.
constexpr std::int32_t kDemoAdministrator = 16394;
// A user who has not picked by then closes the window (the host then fails).
constexpr int kPatienceMs = 60000;

}  // namespace

struct HostPlatform::Parts {
    int argc = 1;
    char name[12] = "public_host";
    char* argv[2] = {name, nullptr};
    QApplication app{argc, argv};
    QTemporaryDir settings;
    QTimer user;
    QPointer<QWidget> window;  // the browse window seen last
    int windows = 0;
    std::int32_t picked = 0;
    bool pickedHere = false;  // the user has picked in `window`
};

HostPlatform::HostPlatform(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: public_host COMPANY_FILE CUSTOMER_ID\n");
        std::exit(2);
    }
    customer_ = std::atoi(argv[2]);
    parts_ = std::make_unique<Parts>();
    orva::SetSessionString(orva::SessionString(argv[1], kDemoAdministrator, "CHS"));
    orva::qt::InstallQtFace(parts_->settings.filePath("settings.ini").toStdString());

    Parts& p = *parts_;
    QObject::connect(&p.user, &QTimer::timeout, [&p] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != "BrowseBase")
            return;
        if (modal != p.window) {
            p.window = modal;
            p.pickedHere = false;
            ++p.windows;
            QTimer::singleShot(kPatienceMs, modal, [modal] {
                std::fprintf(stderr, "the user found no entry to pick and closed the window\n");
                modal->close();
            });
        }
        auto* ledger = modal->findChild<QTableView*>("ldgBase");
        if (p.pickedHere || !ledger || ledger->model()->rowCount() == 0)
            return;
        QAbstractItemModel& rows = *ledger->model();
        int column = 0;  // the first column shown; column 0 holds the entry ID
        while (column + 1 < rows.columnCount() && ledger->isColumnHidden(column)) ++column;
        p.picked = rows.index(0, 0).data().toInt();
        p.pickedHere = true;
        ledger->setCurrentIndex(rows.index(0, column));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(ledger, &enter);
    });
    p.user.start(20);
}

HostPlatform::~HostPlatform() = default;

std::int32_t HostPlatform::PickedEntry() const {
    return parts_->picked;
}

int HostPlatform::WindowsShown() const {
    return parts_->windows;
}
