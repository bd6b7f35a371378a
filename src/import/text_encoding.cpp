#include "import/text_encoding.h"

#include <unicode/ucnv.h>

#include <stdexcept>

namespace orva::import {
namespace {

// The length of the UTF-8 sequence at `text[i]`: 0 when it is no valid
// sequence, -1 when it is cut by the end of `text`.
int SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if (i + k >= text.size())
            return -1;
        const unsigned char c = byte(i + k);
        if (k == 1 ? (c < low || c > high) : (c < 0x80 || c > 0xBF))
            return 0;
    }
    return length;
}

// Whether `text` is UTF-8, a sequence cut at its end allowed or not.
bool Utf8Prefix(std::string_view text, bool cutAllowed) {
    for (std::size_t i = 0; i < text.size();) {
        const int length = SequenceLength(text, i);
        if (length == 0)
            return false;
        if (length < 0)
            return cutAllowed;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

}  // namespace

bool IsUtf8(std::string_view text) {
    return Utf8Prefix(text, false);
}

TextEncoding DetectEncoding(std::string_view head) {
    return Utf8Prefix(head, true) ? TextEncoding::kUtf8 : TextEncoding::kGb18030;
}

TextDecoder::TextDecoder(TextEncoding encoding) : encoding_(encoding) {
    if (encoding_ == TextEncoding::kUtf8)
        return;
    UErrorCode status = U_ZERO_ERROR;
    source_ = ucnv_open("GB18030", &status);
    if (U_SUCCESS(status))
        utf8_ = ucnv_open("UTF-8", &status);
    if (U_FAILURE(status))
        throw std::runtime_error(std::string("The GB18030 converter is missing: ") +
                                 u_errorName(status));
    // Bytes that are no character stop the conversion instead of turning
    // into a replacement character that would be written to the database.
    ucnv_setToUCallBack(source_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
}

TextDecoder::~TextDecoder() {
    if (source_)
        ucnv_close(source_);
    if (utf8_)
        ucnv_close(utf8_);
}

std::optional<std::string> TextDecoder::ToUtf8(std::string_view text) {
    if (encoding_ == TextEncoding::kUtf8) {
        if (!IsUtf8(text))
            return std::nullopt;
        return std::string(text);
    }
    // One GB18030 byte gives at most three bytes of UTF-8.
    std::string out(text.size() * 3 + 4, '\0');
    UChar pivot[1024];
    UChar* pivotSource = pivot;
    UChar* pivotTarget = pivot;
    char* target = out.data();
    const char* source = text.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_convertEx(utf8_, source_, &target, out.data() + out.size(), &source,
                   text.data() + text.size(), pivot, &pivotSource, &pivotTarget,
                   pivot + std::size(pivot), true, true, &status);
    if (U_FAILURE(status))
        return std::nullopt;
    out.resize(static_cast<std::size_t>(target - out.data()));
    return out;
}

}  // namespace orva::import
