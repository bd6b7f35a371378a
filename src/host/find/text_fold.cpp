#include "host/find/text_fold.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "host/tsql/utf8.h"

namespace orva {
namespace {

// Whether folding leaves the text as it is but for ASCII letter case: every
// character is ASCII or a CJK unified ideograph (U+4E00 to U+9FFF, which
// have no compatibility forms and no case). Most ledger texts are, and they
// skip decoding, and for NormalizeWidth the conversions ICU needs.
bool FoldsTrivially(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        // Three-byte sequences from E4 B8 80 (U+4E00) to E9 BF BF (U+9FFF).
        if (end - p < 3 || p[0] < 0xE4 || p[0] > 0xE9 || (p[1] & 0xC0) != 0x80 ||
            (p[2] & 0xC0) != 0x80 || (p[0] == 0xE4 && p[1] < 0xB8))
            return false;
        p += 3;
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
    std::string s;
    if (FoldsTrivially(utf8)) {
        s.assign(utf8);
        for (char& c : s) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return s;
    }
    s.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
        tsql::EncodeUtf8(tsql::FoldCase(tsql::DecodeUtf8(utf8, i)), s);
    return s;
}

std::string NormalizeWidth(std::string_view utf8) {
    if (FoldsTrivially(utf8))
        return std::string(utf8);
    UErrorCode status = U_ZERO_ERROR;
    static const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    return Normalize(nfkc, utf8);
}

}  // namespace orva
