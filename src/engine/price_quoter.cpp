// PriceQuoter (orvasaleprice/price_quote.h): a connection of its own to the
// session's company, and the look-up of engine/price_quote.h on it.
#include "orvasaleprice/price_quote.h"

#include "engine/price_quote.h"
#include "host/app_connection.h"

namespace orva {

struct PriceQuoter::Impl {
    AppConnection db;
    Impl() = default;
    explicit Impl(const std::string& session) : db(session) {}
};

PriceQuoter::PriceQuoter() : impl_(std::make_unique<Impl>()) {}

PriceQuoter::PriceQuoter(const std::string& sessionString)
    : impl_(std::make_unique<Impl>(sessionString)) {}

PriceQuoter::~PriceQuoter() = default;

PriceQuote PriceQuoter::Quote(const PriceQuery& query) const {
    return QuotePrice(impl_->db, query);
}

}  // namespace orva
