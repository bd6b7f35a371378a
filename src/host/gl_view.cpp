#include "host/gl_view.h"

#include "host/host_ui.h"

namespace orva {
namespace {

BaseDataLookupPtr Ask(std::string method, std::int32_t classID, const std::string& first,
                      const std::string& second = {}, const Dictionary* params = nullptr) {
    LookupRequest request;
    request.method = std::move(method);
    request.classID = classID;
    request.first = first;
    request.second = second;
    if (params)
        request.params = *params;
    LookupReply reply = CurrentUi().Lookup(request);
    return std::make_shared<BaseDataLookup>(reply.ok, std::move(reply.record));
}

}  // namespace

BaseDataLookupPtr UiGLView::ItemLookUp(std::int32_t classID, const std::string& first,
                                       const std::string& second, const Dictionary& params) {
    return Ask("ItemLookUp", classID, first, second, &params);
}

BaseDataLookupPtr UiGLView::UnitLookup(std::int32_t number, const std::string& first) {
    return Ask("UnitLookup", number, first);
}

BaseDataLookupPtr UiGLView::SubMesLookup(std::int32_t classID, const std::string& first) {
    return Ask("SubMesLookup", classID, first);
}

BaseDataLookupPtr UiGLView::CurrencyLookup(const std::string& first) {
    return Ask("CurrencyLookup", 0, first);
}

BaseDataLookupPtr UiGLView::SettTypeLookup(const std::string& first) {
    return Ask("SettTypeLookup", 0, first);
}

BaseDataLookupPtr UiGLView::AccountLookup(const std::string& first) {
    return Ask("AccountLookup", 0, first);
}

}  // namespace orva
