// Draws a TabStrip model on a QTabWidget whose pages the window's view
// supplies (tab n of the model is page n): captions, enabled tabs and the
// selected tab follow the model; a tab the user picks goes to
// TabStrip::UserSelect, and a refused pick puts the selection back.
#pragma once

#include <QObject>
#include <QPointer>

#include "host/controls/signal.h"
#include "host/controls/tab_strip.h"

class QTabWidget;

namespace orva::qt {

class TabStripBinder : public QObject {
    Q_OBJECT

  public:
    // Pages missing for the model's tabs are added empty.
    TabStripBinder(TabStrip& model, QTabWidget* tabs);

  private:
    void Sync();

    TabStrip& model_;
    QPointer<QTabWidget> tabs_;
    bool syncing_ = false;
    Subscription sub_;
};

}  // namespace orva::qt
