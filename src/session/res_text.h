// Localisation of every user-visible text. Texts are written in the sources
// in simplified Chinese and pass through GetResText just before they are
// shown: for a session in simplified Chinese ("CHS") they come back as
// written (trimmed); for any other language the trimmed Chinese text is the
// key the resource loader ("ORVARESLOADER.Loader") translates.
//
// Mixed texts join segments with "^|^"; a segment starting with "~$~" is a
// key to translate, every other segment is kept as it stands:
//   "客户: ^|^~$~名称" -> "客户: " + GetResText("名称").
//
// The language and the loader are those of the module context in force
// (ModuleContext::InForce): its g_Language, read from the session key
// "LANGUAGE" the first time a text needs it and kept while not empty, and its
// g_ResLoader, created on the first text that needs it, then kept.
//
// GetResText may be called inside an error handler: the process error object
// (Err(), host/err_object.h) is exactly as it was on entry when it returns.
//
// Keys reach the translation catalogue through xgettext, which extracts the
// string literal passed to GetResText and to the no-op marker N_ (captions
// that the form-resource loader translates as a whole). Every text key must
// be a literal at one of these two calls.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/res_loader.h"

namespace orva {

// The base name of the module's translation catalogue.
inline constexpr const char* kResFileBaseName = "ORVAINDUSTRY";

// The localised text. A lookup that fails gives the trimmed input; failing
// to create the loader raises ComError kCannotCreate.
std::string GetResText(std::string_view text);
// The expansion of a mixed text (see above); no separator is put back.
std::string ParseMixedText(std::string_view text);

// Marks a literal as a text key without translating it (a caption that the
// form-resource loader translates at load time).
constexpr const char* N_(const char* text) {
    return text;
}

}  // namespace orva
