// CustFace, the entry class a host creates: it sets a few properties that say
// how the module is called, calls Show, and reads ReturnRecordSet.
//
//   orva::CustFace face;                // opens the session's database
//   face.ReturnType(orva::ReturnItem);
//   face.SelCustID(1001);
//   face.Show(orva::ShowSelect);        // blocks while the window is up
//   auto rs = face.ReturnRecordSet();   // the picked price entry, or null
//
// The properties and the connection component live in process-wide slots
// shared by every instance: destroying any instance releases the connection
// for all of them, so a host uses one instance at a time. Failures reach the
// host as orva::ComError.
#pragma once

#include <cstdint>
#include <memory>

#include "orvasaleprice/enums.h"
#include "orvasaleprice/export.h"

namespace orva {

class Recordset;

class ORVA_API CustFace {
  public:
    static constexpr const char* kProgID = "OrvaSalePrice.CustFace";

    // Creates the connection component "OrvaConnection.AppConnection" into
    // the process-wide connection slot, replacing another instance's.
    CustFace();
    // Empties the connection slot, even when another instance still lives.
    ~CustFace();
    CustFace(const CustFace&) = delete;
    CustFace& operator=(const CustFace&) = delete;

    // The record set the last Show returned, or null (also before any Show).
    std::shared_ptr<Recordset> ReturnRecordSet() const { return returnRecordSet_; }

    // Property puts: each stores its value in its process-wide slot.
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
    std::shared_ptr<Recordset> returnRecordSet_;
};

}  // namespace orva
