// The QApplication of the GUI tests (offscreen unless a platform is set) and
// helpers to act on a modal dialog while the code under test waits in it.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>

namespace orva::qt {
class ModalWindowDialog;
}

namespace orva::qt::test {

// Creates the application on first use.
QApplication& App();

// Runs `act` with the first active modal widget of type W once one is up
// (polling the event loop); fails the test when none comes within `timeout`.
template <class W>
void WhenModal(std::function<void(W&)> act, int timeoutMs = 5000);

// Untyped form used by the template.
void WhenModalWidget(std::function<bool(QWidget*)> tryAct, int timeoutMs);

// Runs `act` once the module window of that name (BrowseBase, frmProperty,
// ...) is the active modal dialog, made the active window first: shortcuts
// and typing reach the active window only, and the offscreen platform does
// not activate a dialog opened over another one.
void WhenWindow(const QString& name, std::function<void(ModalWindowDialog&)> act,
                int timeoutMs = 10000);

template <class W>
void WhenModal(std::function<void(W&)> act, int timeoutMs) {
    WhenModalWidget(
        [act = std::move(act)](QWidget* w) {
            auto* typed = qobject_cast<W*>(w);
            if (!typed)
                return false;
            act(*typed);
            return true;
        },
        timeoutMs);
}

}  // namespace orva::qt::test
