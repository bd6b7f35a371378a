// "OrvaICFindFilterSort.FFSFace": the host's find, filter and sort component.
// The caller sets the mode, the searchable fields, the system parameters,
// the record set and the tree, in that order, and calls Show; the component
// shows its dialog and leaves its results in the Re* properties.
//
//   FfsMode       0 find, 1 filter, 2 sort
//   FfsFamily     the fields on offer (find_field.h)
//   FfsSysPar     "UseShortNumber"; for a search over all data also
//                 "SearchOption" (20 customers, 10 items), "UserID" and
//                 "bNeedCheckItemRight"
//   FfsRecordset  the records to work on; null when there are none
//   FfstvwBase    the caller's tree, which search all may select in
//
//   ReFfsOK        the user confirmed the dialog
//   ReFfsRecordset the filtered or sorted records; with search all, the
//                  ledger of the customer or item found
//   ReFfsFdResult  find: null (nothing), or the 1-based positions of the
//                  matching records (the collection's items "1", "2", ...),
//                  possibly none
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/dictionary.h"
#include "orvasaleprice/recordset.h"

namespace orva {

class Tree;

using FindPositions = std::vector<long>;

class FFSFace {
  public:
    static constexpr const char* kProgID = "OrvaICFindFilterSort.FFSFace";

    virtual ~FFSFace() = default;

    virtual void SetFfsMode(std::int16_t mode) = 0;
    virtual void SetFfsFamily(std::vector<Dictionary> family) = 0;
    virtual void SetFfsSysPar(Dictionary sysPar) = 0;
    virtual void SetFfsRecordset(RecordsetPtr records) = 0;
    virtual void SetFfstvwBase(Tree* tree) = 0;
    // Shows the dialog modally and runs what the user asked for. Throws
    // ComError when the dialog cannot be shown.
    virtual void Show() = 0;

    virtual bool ReFfsOK() const = 0;
    virtual RecordsetPtr ReFfsRecordset() const = 0;
    virtual std::shared_ptr<const FindPositions> ReFfsFdResult() const = 0;
};

}  // namespace orva
