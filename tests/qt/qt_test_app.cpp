#include "qt_test_app.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "qt/dialogs/modal_window_dialog.h"

#include "qt/controls/cjk_fonts.h"

namespace orva::qt::test {
namespace {

// Polls the event loop for a modal widget the action accepts, then goes.
class ModalPoller : public QObject {
  public:
    ModalPoller(std::function<bool(QWidget*)> tryAct, int timeoutMs)
        : tryAct_(std::move(tryAct)), timeoutMs_(timeoutMs) {
        elapsed_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }

  private:
    void Poll() {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && tryAct_(modal)) {
            Done();
        } else if (elapsed_.elapsed() > timeoutMs_) {
            ADD_FAILURE() << "no modal dialog of the expected type came up";
            if (QWidget* open = QApplication::activeModalWidget())
                open->close();
            Done();
        }
    }
    void Done() {
        timer_.stop();
        deleteLater();
    }

    std::function<bool(QWidget*)> tryAct_;
    int timeoutMs_;
    QElapsedTimer elapsed_;
    QTimer timer_;
};

}  // namespace

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        InstallCjkApplicationFont();
        return a;
    }();
    return *app;
}

void WhenModalWidget(std::function<bool(QWidget*)> tryAct, int timeoutMs) {
    new ModalPoller(std::move(tryAct), timeoutMs);
}

void WhenWindow(const QString& name, std::function<void(ModalWindowDialog&)> act, int timeoutMs) {
    WhenModalWidget(
        [name, act = std::move(act)](QWidget* w) {
            auto* dialog = qobject_cast<ModalWindowDialog*>(w);
            if (!dialog || dialog->objectName() != name)
                return false;
            dialog->activateWindow();
            if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }, 200))
                QApplication::setActiveWindow(dialog);
            EXPECT_EQ(QApplication::activeWindow(), dialog);
            act(*dialog);
            return true;
        },
        timeoutMs);
}

}  // namespace orva::qt::test
