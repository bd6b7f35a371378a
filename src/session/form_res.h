// Localisation of whole windows: the captions (and grid column headers) of a
// window at load time through the form-resource loader "Lexon.LexonLoader",
// and the fonts of the ledger's title lines for the session's language.
#pragma once

#include <memory>

#include "host/controls/ledger.h"
#include "host/dictionary.h"
#include "host/localizable_form.h"
#include "session/module_context.h"

namespace orva {

// Translates the window's captions unless the language is simplified
// Chinese. `options` is the window's own options set, kept between loads:
// when empty it is created with "NeedMLColumnHeaders" = True, so grid column
// headers are translated too. The language is the context's g_Language, or
// the session's "LANGUAGE" when g_Language is empty (not stored). Loader failures are
// raised to the caller.
void LoadFormRes(ModuleContext& ctx, LocalizableForm& form, std::shared_ptr<Dictionary>& options);

// The language's font set ("Font.Name", "Font.Charset"), or nullptr when the
// form-resource loader cannot be created. Fills g_Language from the session
// first when it is empty.
std::shared_ptr<Dictionary> GetFontProps(ModuleContext& ctx);

// Sets font name and character set of the ledger's title lines 1 to 8 from
// GetFontProps(); 宋体 and 134 (GB 2312) where the set gives none.
void SetLedgerFonts(ModuleContext& ctx, Ledger& ledger);

}  // namespace orva
