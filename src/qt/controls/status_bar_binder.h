// Draws a StatusBar model in a QStatusBar: one label per panel, in order,
// each as wide as the panel's width (twips) or, for width 0, taking the room
// that is left; texts and the bar's visibility follow the model. A panel
// without text is hidden.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

#include "host/controls/signal.h"
#include "host/controls/status_bar.h"

class QLabel;
class QStatusBar;

namespace orva::qt {

class StatusBarBinder : public QObject {
    Q_OBJECT

  public:
    StatusBarBinder(StatusBar& model, QStatusBar* bar);

    // The label of panel `index` (1-based), or null.
    QLabel* Panel(int index) const;

  private:
    void Rebuild();
    void SyncPanel(int index);

    StatusBar& model_;
    QPointer<QStatusBar> bar_;
    std::vector<QPointer<QLabel>> labels_;
    Subscription sub_;
};

}  // namespace orva::qt
