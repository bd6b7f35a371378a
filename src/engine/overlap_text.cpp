#include "engine/overlap_text.h"

#include "host/base/text_util.h"
#include "model/sql_values.h"
#include "session/res_text.h"

namespace orva {

std::string OverlapEntryText(std::int32_t entryID, double price, double startQty, double endQty,
                             std::string_view quoteTime, std::string_view expireDate) {
    std::string text = GetResText("价格编号 %1：报价 %2，销货量 %3 - %4，%5 至 %6");
    // Numbers as the statements write them: the shortest decimal form.
    text = ReplaceAll(std::move(text), "%1", std::to_string(entryID));
    text = ReplaceAll(std::move(text), "%2", SqlNumber(price));
    text = ReplaceAll(std::move(text), "%3", SqlNumber(startQty));
    text = ReplaceAll(std::move(text), "%4", SqlNumber(endQty));
    text = ReplaceAll(std::move(text), "%5", quoteTime);
    return ReplaceAll(std::move(text), "%6", expireDate);
}

}  // namespace orva
