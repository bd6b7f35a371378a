// A host of the module written against include/orvasaleprice alone (its
// build gives it no other include folder): it creates CustFace, sets its
// properties, shows it in selection mode, reads the picked entry from the
// returned record set, asks for the price that applies to a sale on the
// picked entry's terms, and catches the module's error. It fails to compile
// when a type CustFace or PriceQuoter returns or throws has no public header.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "orvasaleprice/com_error.h"
#include "orvasaleprice/cust_face.h"
#include "orvasaleprice/price_quote.h"
#include "orvasaleprice/recordset.h"
#include "orvasaleprice/variant.h"
#include "platform.h"

namespace {

int failures = 0;
int checks = 0;

void Check(bool ok, const std::string& what) {
    ++checks;
    if (!ok) {
        ++failures;
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    }
}

// A sale on the picked entry's customer, item, unit and currency, of its
// band's first quantity on its first day: an audited entry is among those
// that apply; one not audited is not.
void CheckQuote(const orva::Recordset& picked) {
    const auto field = [&picked](const char* name) { return picked.Fields(name).Value(); };
    orva::PriceQuery query;
    query.customerID = static_cast<std::int32_t>(field("FCustID").ToInteger());
    query.itemID = static_cast<std::int32_t>(field("FItemID").ToInteger());
    query.unitID = static_cast<std::int32_t>(field("FUnitID").ToInteger());
    query.currencyID = static_cast<std::int32_t>(field("FCyID").ToInteger());
    query.quantity = field("FStartQty").ToDouble();
    query.day = field("FQuoteTime").ToDate();
    const std::int32_t entry = static_cast<std::int32_t>(field("FEntryID").ToInteger());
    const bool audited = field("FUsed").ToInteger() == 1;

    orva::PriceQuoter quoter;  // the company of the session the host stored
    const orva::PriceQuote quote = quoter.Quote(query);
    bool listed = false;
    for (const orva::QuotedEntry& e : quote.entries) listed = listed || e.entryID == entry;
    Check(listed == audited,
          std::string("the picked entry ") + std::to_string(entry) +
              (audited ? " (audited) applies" : " (not audited) does not apply"));
    Check((quote.status == orva::QuoteStatus::kNone) == quote.entries.empty() &&
              (quote.status == orva::QuoteStatus::kApplies) == (quote.entries.size() == 1),
          "the status agrees with the entries listed");

    query.customerID = 0;
    Check(quoter.Quote(query).status == orva::QuoteStatus::kNone, "no customer has no price");
}

}  // namespace

int main(int argc, char** argv) {
    HostPlatform platform(argc, argv);
    orva::CustFace face;
    face.ReturnType(orva::ReturnItem);
    face.CategoryByCust(true);
    face.CallByBill(false);
    face.SelCustID(platform.Customer());
    face.SelICItemID(0);
    face.Show(orva::ShowSelect);

    std::shared_ptr<orva::Recordset> rs = face.ReturnRecordSet();
    Check(rs != nullptr, "Show in selection mode returns the picked entry");
    if (rs) {
        Check(rs->RecordCount() == 1, "the returned record set holds one row");
        const orva::Variant& entry = rs->Fields("FEntryID").Value();
        Check(entry.ToInteger() == platform.PickedEntry(),
              "FEntryID is the picked entry " + std::to_string(platform.PickedEntry()) + ", read " +
                  entry.ToText());
        Check(rs->Fields("FCustID").Value().ToInteger() == platform.Customer(),
              "the entry belongs to the preselected customer " +
                  std::to_string(platform.Customer()) + ", read " +
                  rs->Fields("FCustID").Value().ToText());
    }

    if (rs)
        CheckQuote(*rs);

    try {
        face.Show(static_cast<orva::Enu_ShowMode>(40000));
        Check(false, "a show mode beyond 16 bits raises ComError");
    } catch (const orva::ComError& e) {
        Check(e.Number() == orva::ComError::kOverflow,
              "the error is an overflow, got " + std::to_string(e.Number()));
    }
    Check(platform.WindowsShown() == 1, "only the first Show opened a window");

    std::printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
