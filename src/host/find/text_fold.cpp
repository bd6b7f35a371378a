#include "host/find/text_fold.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace orva {
namespace {

bool IsAscii(std::string_view s) {
    for (unsigned char c : s) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

std::string Normalize(const icu::Normalizer2* n, std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    if (!n)
        return std::string(utf8);
    icu::UnicodeString in = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    icu::UnicodeString out = n->normalize(in, status);
    std::string result;
    if (U_FAILURE(status))
        in.toUTF8String(result);
    else
        out.toUTF8String(result);
    return result;
}

}  // namespace

std::string FoldText(std::string_view utf8) {
    if (IsAscii(utf8)) {
        std::string s(utf8);
        for (char& c : s) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return s;
    }
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* folding = icu::Normalizer2::getNFKCCasefoldInstance(status);
    return Normalize(folding, utf8);
}

std::string NormalizeWidth(std::string_view utf8) {
    if (IsAscii(utf8))
        return std::string(utf8);
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    return Normalize(nfkc, utf8);
}

}  // namespace orva
