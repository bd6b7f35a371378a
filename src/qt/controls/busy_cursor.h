// The hourglass while a command runs: shown for the life of the object and
// restored when it ends, however the command ends. Nested cursors stack.
#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace orva::qt {

class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace orva::qt
