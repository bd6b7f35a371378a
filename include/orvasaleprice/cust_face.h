// CustFace, the entry class a host creates: it sets a few properties that say
// how the module is called, calls Show, and reads ReturnRecordSet.
//
//   orva::CustFace face;                // opens the session's database
//   face.ReturnType(orva::ReturnItem);
//   face.SelCustID(1001);
//   face.Show(orva::ShowSelect);        // blocks while the window is up
//   auto rs = face.ReturnRecordSet();   // the picked price entry, or null
//
// A default instance keeps the properties and the connection component in
// slots shared by every default instance of the process: destroying any of
// them releases the connection for all, so a host uses one at a time. An
// instance made on a session string of its own keeps its own: its company
// database, properties, session, language and windows, untouched by any
// other instance; several of them work side by side.
//
//   orva::CustFace north(orva::SessionString("north.db", 16394, "CHS"));
//   orva::CustFace south(orva::SessionString("south.db", 16394, "CHS"));
//
// Failures reach the host as orva::ComError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvasaleprice/enums.h"
#include "orvasaleprice/export.h"

namespace orva {

class ModuleContext;
class Recordset;

class ORVA_API CustFace {
  public:
    static constexpr const char* kProgID = "OrvaSalePrice.CustFace";

    // Creates the connection component "OrvaConnection.AppConnection" into
    // the shared connection slot, replacing another default instance's. The
    // session is the host's (SetSessionString).
    CustFace();
    // An instance with slots of its own on the session string (as
    // SessionString makes it): its connection opens the company database the
    // string names (ComError when it names none or cannot be opened).
    explicit CustFace(const std::string& sessionString);
    // Empties the instance's connection slot: for a default instance the
    // shared one, even when another default instance still lives.
    ~CustFace();
    CustFace(const CustFace&) = delete;
    CustFace& operator=(const CustFace&) = delete;

    // The record set the last Show returned, or null (also before any Show).
    std::shared_ptr<Recordset> ReturnRecordSet() const { return returnRecordSet_; }

    // Property puts: each stores its value in the instance's slot.
    // ReturnType raises ComError kOverflow outside the 16-bit range.
    void ReturnType(Enu_RType value);
    void SelCustID(std::int32_t value);
    void SelICItemID(std::int32_t value);
    void CategoryByCust(bool value);
    void CallByBill(bool value);

    // Reads and parses the host session, stores the mode (ComError kOverflow
    // outside the 16-bit range), opens the browse window modally and keeps
    // the window's returned record set.
    void Show(Enu_ShowMode sMode);

  private:
    std::shared_ptr<ModuleContext> ctx_;
    std::shared_ptr<Recordset> returnRecordSet_;
};

}  // namespace orva
