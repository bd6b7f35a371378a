// The price adjustment's part of the price store: a new price for an
// unaudited entry, and an unaudited entry ended where its successor with the
// new price takes effect.
#include <stdexcept>
#include <string>

#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/write_transaction.h"
#include "model/sql_values.h"

namespace orva {

PriceOutcome PriceStore::SetPrice(std::int32_t entryID, double price) {
    try {
        // A write transaction of its own, so that a batch can group it with
        // the entries before and after it (durable_batch.h).
        WriteTransaction write(db_.Backend());
        std::int16_t rows = 0;
        // FUsed=0 in the statement itself: an entry audited since it was
        // read is not changed.
        db_.Execute("UPDATE t_CustEntry SET FPrice=" + SqlNumber(price) +
                        " WHERE FEntryID=" + SqlId(entryID) + " AND FUsed=0",
                    rows);
        write.Commit();
        if (rows == 0)
            return {PriceOutcome::kAudited, {}};
        return {PriceOutcome::kWritten, {}};
    } catch (const std::runtime_error& e) {
        return {PriceOutcome::kDatabaseError, e.what()};
    }
}

PriceOutcome PriceStore::Supersede(const PriceEntry& old, double price, const std::string& day,
                                   std::int32_t& newID) {
    const std::string where = " WHERE FEntryID=" + SqlId(old.entryID);
    try {
        WriteTransaction write(db_.Backend());
        std::int16_t rows = 0;
        db_.Execute("UPDATE t_CustEntry SET FExpireDate=" + SqlDate(day) + where + " AND FUsed=0",
                    rows);
        if (rows == 0)
            return {PriceOutcome::kAudited, {}};

        PriceEntry successor = old;
        successor.entryID = 0;
        successor.price = SqlNumber(price);
        successor.quoteTime = day;
        successor.used = "0";
        PriceOutcome added = Add(successor, newID);
        if (!added.Written()) {
            // A database without write transactions keeps the first
            // statement: put the old expiry date back by hand.
            if (!write.Grouped()) {
                db_.Execute("UPDATE t_CustEntry SET FExpireDate=" + SqlDate(old.expireDate) +
                            where);
            }
            return added;
        }
        write.Commit();
        return added;
    } catch (const std::runtime_error& e) {
        return {PriceOutcome::kDatabaseError, e.what()};
    }
}

}  // namespace orva
