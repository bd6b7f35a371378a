// TEMPORARY: replaced by the real criteria parser.
#include "host/recordset_filter.h"
#include "host/com_error.h"
namespace orva {
struct RecordFilter::Node {};
RecordFilter::RecordFilter(std::unique_ptr<Node> root) : root_(std::move(root)) {}
RecordFilter::RecordFilter(RecordFilter&&) noexcept = default;
RecordFilter& RecordFilter::operator=(RecordFilter&&) noexcept = default;
RecordFilter::~RecordFilter() = default;
RecordFilter RecordFilter::Compile(std::string_view c, const std::vector<std::string>&) {
    throw ComError(ComError::kBadFilter, "filter not implemented yet: " + std::string(c));
}
bool RecordFilter::Matches(const Recordset&, std::size_t) const { return true; }
}  // namespace orva
