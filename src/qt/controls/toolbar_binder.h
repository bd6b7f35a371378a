// Draws a Toolbar model as a QToolBar: one button per command with its
// caption, tool tip and picture, separators, visible, enabled and checked
// states; the bar itself shows or hides with the model, and the captions
// under the pictures come and go with Toolbar::ShowCaptions (the host's
// toolbar caption helper switches that flag). A click on a button clicks the
// command in the model.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <string>

#include "host/controls/signal.h"
#include "host/controls/toolbar.h"

class QAction;
class QIcon;
class QToolBar;
class QString;

namespace orva::qt {

class ToolbarBinder : public QObject {
    Q_OBJECT

  public:
    // The picture of a button; the default chooses one by the button's key
    // (image_list.h, ToolbarIcon).
    using IconFor = std::function<QIcon(const CommandItem& item)>;

    ToolbarBinder(Toolbar& toolbar, QToolBar* bar, IconFor icons = {});

    QAction* Action(const std::string& key) const;

  private:
    void Rebuild();
    void Sync(const std::string& key);
    void SyncBar();

    Toolbar& toolbar_;
    QPointer<QToolBar> bar_;
    IconFor icons_;
    std::map<std::string, QPointer<QAction>> actions_;
    Subscription sub_;
};

}  // namespace orva::qt
