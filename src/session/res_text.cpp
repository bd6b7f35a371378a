#include "session/res_text.h"

#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/err_object.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva {

namespace {

constexpr std::string_view kSeparator = "^|^";
constexpr std::string_view kKeyMarker = "~$~";

// The error pending when GetResText was entered, put back on the way out.
class PendingErrorKeeper {
  public:
    PendingErrorKeeper() {
        const ErrObject& err = Err();
        saved_ = err.Pending();
        if (saved_) {
            description_ = err.Description();
            helpContext_ = err.HelpContext();
            helpFile_ = err.HelpFile();
            source_ = err.Source();
            number_ = err.Number();
        }
    }
    PendingErrorKeeper(const PendingErrorKeeper&) = delete;
    PendingErrorKeeper& operator=(const PendingErrorKeeper&) = delete;

    // Runs on every way out, raised errors included. Without an error on
    // entry the object is left cleared, as leaving a handler clears it.
    ~PendingErrorKeeper() {
        ErrObject& err = Err();
        if (!saved_) {
            err.Clear();
            return;
        }
        err.SetDescription(description_);
        err.SetHelpContext(helpContext_);
        err.SetHelpFile(helpFile_);
        err.SetSource(source_);
        err.SetNumber(number_);
    }

  private:
    bool saved_ = false;
    std::string description_;
    std::int32_t helpContext_ = 0;
    std::string helpFile_;
    std::string source_;
    std::int32_t number_ = 0;
};

bool IsMixed(std::string_view text) {
    return text.find(kSeparator) != std::string_view::npos;
}

// A lookup through the loader; a failure is recorded in Err() (it is put
// back by the keeper) and gives the key itself.
std::string LoadThroughLoader(ResLoader& loader, std::string_view key) {
    try {
        return IsMixed(key) ? ParseMixedText(key) : loader.LoadString(key);
    } catch (const ComError& e) {
        Err().SetFrom(e);
    } catch (const std::runtime_error& e) {
        Err().SetFrom(ComError(ComError::kGeneric, e.what(), ResLoader::kProgID));
    }
    return std::string(key);
}

}  // namespace

std::string GetResText(std::string_view text) {
    PendingErrorKeeper keeper;
    ModuleContext& ctx = ModuleContext::InForce();
    if (ctx.g_Language.empty())
        ctx.g_Language = GetLoginProp(ctx, "LANGUAGE");
    std::string_view trimmed = Trim(text);
    if (!EqualsNoCase(ctx.g_Language, "CHS")) {
        if (!ctx.g_ResLoader)
            ctx.g_ResLoader = ComponentRegistry::Create<ResLoader>(ResLoader::kProgID);
        // Held here: a mixed text's keys come back through GetResText.
        std::shared_ptr<ResLoader> loader = ctx.g_ResLoader;
        loader->SetResFileBaseName(kResFileBaseName);
        loader->SetLanguageID(ctx.g_Language);
        return LoadThroughLoader(*loader, trimmed);
    }
    return IsMixed(trimmed) ? ParseMixedText(trimmed) : std::string(trimmed);
}

std::string ParseMixedText(std::string_view text) {
    std::string out;
    for (const auto& segment : Split(text, kSeparator)) {
        if (std::string_view(segment).starts_with(kKeyMarker)) {
            out += GetResText(std::string_view(segment).substr(kKeyMarker.size()));
        } else {
            out += segment;
        }
    }
    return out;
}

}  // namespace orva
