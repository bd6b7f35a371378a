// BrowseBase, the module's main window, as far as CustFace drives it: load,
// modal show through the host user interface, the returned entry, unload.
// The window's tree, ledger, menus and commands build on this class.
#pragma once

#include <cstdint>
#include <string>

#include "host/modal_window.h"
#include "host/recordset.h"

namespace orva {

class BrowseBase : public ModalWindow {
  public:
    std::string WindowName() const override { return "BrowseBase"; }

    // Runs the load handler; the window is then ready to be shown.
    void Load();
    // Hides the window if it is up and releases what it holds, except the
    // returned entry, which the caller has read before.
    void Unload();
    bool Loaded() const { return loaded_; }

    // The entry picked in selection mode: a record set of all columns of the
    // one t_CustEntry row, or null. Never cleared while the window lives.
    RecordsetPtr ReturnObj() const { return returnObj_; }

    // Selection mode's answer to an activated ledger row: with ReturnItem it
    // reads "select * from t_CustEntry Where FEntryID=<id>" through the shared
    // connection, keeps it as ReturnObj and hides the window (true); with
    // ReturnClass, or outside selection mode, nothing happens (false).
    bool SelectEntry(std::int32_t entryID);

  private:
    RecordsetPtr returnObj_;
    bool loaded_ = false;
};

}  // namespace orva
