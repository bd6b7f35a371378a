// ModuleContext: what one instance of the module holds while a host uses it:
// the connection component, the host's property puts, the session it read,
// the system options, the cached host objects, the language, the ledger's
// records, and the per-module host services (settings store, editor
// launcher). CustFace owns one and hands it to the windows and the engine it
// creates; they hold a ModuleContext& and read its slots. The slots keep the
// names the module's documentation gives them (g_Connection, g_ShowMode, ...).
//
// Every default-constructed CustFace shares the one context Shared() returns,
// so its slots behave as process-wide variables: destroying any default
// instance empties the shared connection, and property puts of one default
// instance are seen by the next. A CustFace made on a session string of its
// own has a context of its own that no other instance touches.
//
// What stays process-wide, because a host reaches it by name or installs it
// once: the component registry (by ProgID), the host's session string of the
// default context (SetSessionString), and the user interface and settings
// store the host installs once (CurrentUi, CurrentSettings), which a context
// uses unless it is given its own.
//
// User-interface thread only; no locks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "orvasaleprice/recordset.h"
#include "session/keyed_strings.h"

namespace orva {

class AppConnection;
class GLData;
class GLView;
class HostUi;
class HostUtility;
class ResLoader;
class SettingsStore;
struct EditorRequest;

// g_LedgerRecords, the ledger's records as find, filter and sort read them:
// the records of the newest ledger data source (the open browse window's),
// null when its ledger shows a group or none lives. It is a view, not a copy:
// the data source owns the records, so no tree switch and no window opened
// again can leave another ledger's rows behind in it.
class LedgerRecordsView {
  public:
    RecordsetPtr get() const { return records_ ? *records_ : nullptr; }
    // The data source that owns `records` is now the one shown.
    void Show(const RecordsetPtr* records) { records_ = records; }
    // The data source goes away; the view empties if it showed it.
    void Release(const RecordsetPtr* records) {
        if (records_ == records)
            records_ = nullptr;
    }

  private:
    const RecordsetPtr* records_ = nullptr;
};

class ModuleContext {
  public:
    // A context on the host's session: the process's shared property
    // "PropsString", read anew whenever the session string is needed.
    ModuleContext();
    // A context on a session string of its own.
    explicit ModuleContext(std::string sessionString);
    ~ModuleContext();
    ModuleContext(const ModuleContext&) = delete;
    ModuleContext& operator=(const ModuleContext&) = delete;

    // The context every default CustFace shares.
    static ModuleContext& Shared();
    static std::shared_ptr<ModuleContext> SharedPtr();

    // The context whose call is running: the one a Scope put in force last,
    // else Shared(). Texts are translated in its language, because the
    // host's own dialogs that translate texts have no context to hand.
    static ModuleContext& InForce();
    class Scope {
      public:
        explicit Scope(ModuleContext& context);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        ModuleContext* previous_;
    };

    // The session string: the context's own, or the host's shared one.
    std::string SessionString() const;
    bool HasOwnSession() const { return ownSession_.has_value(); }

    // The connection component; throws ComError (object not set) when the
    // slot is empty.
    AppConnection& Connection();
    // A new connection component on the context's session: created by ProgID
    // on the host's session, else opened on the context's own session string.
    // The batch operations and the help command use one of their own.
    std::shared_ptr<AppConnection> CreateConnection();

    // The host's settings store: the one set here, else the host's current.
    SettingsStore& Settings();
    // The host's user interface the module's windows, questions and messages
    // go through: the one set here, else the one the host installed.
    HostUi& Ui();

    // Written by CustFace: the connection component and the property puts.
    std::shared_ptr<AppConnection> g_Connection;
    std::int16_t g_ShowMode = 0;     // Enu_ShowMode of the last Show
    std::int16_t g_ReturnType = 0;   // Enu_RType
    std::int32_t g_SelCustID = 0;    // customer to preselect, 0 = none
    std::int32_t g_SelICItemID = 0;  // item to preselect, 0 = none
    bool g_CategoryByCust = false;   // tree of customers (else of items)
    bool g_CallByBill = false;       // called from a sales bill

    // System option IC / "UseShortNumber": codes shown and matched are short.
    bool g_UseShortNumber = false;
    // The session string as parsed by the last Show, and its properties.
    std::string g_PropsString;
    std::shared_ptr<KeyedStrings> g_SessionProps;
    // Host objects created on first use and kept.
    std::shared_ptr<GLData> g_GLData;
    std::shared_ptr<GLView> g_GLView;
    std::shared_ptr<HostUtility> g_Utility;

    // The language code, from the session key "LANGUAGE" the first time a
    // text needs it; kept while not empty, so an empty code is read again.
    std::string g_Language;
    // The resource loader, created on the first text that needs it, then kept.
    std::shared_ptr<ResLoader> g_ResLoader;

    // The open browse window's ledger records.
    LedgerRecordsView g_LedgerRecords;

    // The settings store of this context; null uses the host's current one.
    std::shared_ptr<SettingsStore> settings;
    // The user interface of this context; null uses the host's installed one.
    std::shared_ptr<HostUi> ui;
    // The user the price history names for this context's writes (set by
    // Show); every connection the context opens hands it to its database.
    std::optional<std::int32_t> historyUser;
    // How the browse window opens the record editor; empty opens the
    // module's own editor window (browse/editor_launcher.h).
    std::function<void(const EditorRequest&)> editorLauncher;

  private:
    std::optional<std::string> ownSession_;
};

}  // namespace orva
