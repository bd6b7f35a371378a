#include <gtest/gtest.h>

#include "resources_fixture.h"
#include "session/form_res.h"
#include "support/language_scope.h"
#include "support/po_file.h"

namespace orva {
namespace {

using test::EnglishPo;
using test::PoTranslation;
using test::ScopedSession;

// A window with two captions and a grid of two column headers.
class SampleForm : public LocalizableForm {
  public:
    std::vector<std::string> captions{"提示", " 试图添加一个重复的数据！ ", "没有译文的标题", ""};
    std::vector<std::string> headers{"提示", "没有译文的列"};
    int visits = 0;

    void ForEachText(bool withColumnHeaders, const TextVisitor& visit) override {
        for (auto& c : captions) {
            ++visits;
            visit(TextKind::Caption, c);
        }
        if (!withColumnHeaders)
            return;
        for (auto& h : headers) {
            ++visits;
            visit(TextKind::ColumnHeader, h);
        }
    }
};

// A form-resource loader that remembers its calls.
class RecordingLexon : public LexonLoader {
  public:
    std::int32_t LoadLexonStrings(LocalizableForm& form, const std::string& language,
                                  const std::string& folder, const std::string& base,
                                  std::shared_ptr<Dictionary>& options) override {
        calls.push_back(language + "|" + folder + "|" + base);
        seenOptions = options;
        return LexonLoader::LoadLexonStrings(form, language, folder, base, options);
    }
    std::vector<std::string> calls;
    std::shared_ptr<Dictionary> seenOptions;
};

using LoadFormResTest = ResourcesTest;

TEST_F(LoadFormResTest, ChineseLeavesTheFormAndItsOptionsAlone) {
    ScopedSession session("LANGUAGE=Chs");
    ComponentRegistry::Unregister(LexonLoader::kProgID);  // must not be needed
    SampleForm form;
    std::shared_ptr<Dictionary> options;
    LoadFormRes(*ctx_, form, options);
    EXPECT_EQ(form.visits, 0);
    EXPECT_EQ(options, nullptr);
    EXPECT_EQ(ctx_->g_Language, "");  // read for this call, not stored
}

TEST_F(LoadFormResTest, EnglishTranslatesCaptionsAndColumnHeaders) {
    ScopedSession session("LANGUAGE=ENG");
    auto lexon = std::make_shared<RecordingLexon>();
    ComponentRegistry::Register<LexonLoader>(LexonLoader::kProgID, [lexon] { return lexon; });
    std::string po = EnglishPo("model.po");

    SampleForm form;
    std::shared_ptr<Dictionary> options;
    LoadFormRes(*ctx_, form, options);

    ASSERT_NE(options, nullptr);  // created on first use, kept by the window
    EXPECT_TRUE(options->Value(LexonLoader::kNeedMLColumnHeaders).ToBool());
    EXPECT_EQ(lexon->calls, std::vector<std::string>{"ENG||ORVAINDUSTRY"});
    EXPECT_EQ(lexon->seenOptions, options);
    EXPECT_EQ(form.captions[0], PoTranslation(po, "提示"));
    EXPECT_EQ(form.captions[1], PoTranslation(po, "试图添加一个重复的数据！"));
    EXPECT_EQ(form.captions[2], "没有译文的标题");
    EXPECT_EQ(form.captions[3], "");
    EXPECT_EQ(form.headers[0], PoTranslation(po, "提示"));
    EXPECT_EQ(form.headers[1], "没有译文的列");

    // The window's options are used as they are on the next load.
    options->SetValue(LexonLoader::kNeedMLColumnHeaders, false);
    SampleForm again;
    LoadFormRes(*ctx_, again, options);
    EXPECT_EQ(again.headers[0], "提示");
    EXPECT_EQ(again.captions[0], PoTranslation(po, "提示"));
    EXPECT_EQ(lexon->seenOptions, options);
}

TEST_F(LoadFormResTest, MissingLoaderIsRaisedAndMissingCatalogueChangesNothing) {
    ScopedSession session("LANGUAGE=ENG");
    SampleForm form;
    std::shared_ptr<Dictionary> options;
    ComponentRegistry::Unregister(LexonLoader::kProgID);
    EXPECT_THROW(LoadFormRes(*ctx_, form, options), ComError);

    RegisterLanguageComponents();
    ScopedEnv dir("ORVA_I18N_DIR", EmptyFolder("form"));
    testing::internal::CaptureStderr();
    LoadFormRes(*ctx_, form, options);
    std::string warning = testing::internal::GetCapturedStderr();
    EXPECT_EQ(form.captions[0], "提示");
    EXPECT_NE(warning.find("ENG/ORVAINDUSTRY.mo"), std::string::npos) << warning;
}

using LedgerFontsTest = ResourcesTest;

// A field of a PO file's header, "" when absent.
std::string PoHeaderField(const std::string& path, const std::string& field) {
    std::string header = PoTranslation(path, "");
    auto at = header.find(field + ": ");
    if (at == std::string::npos)
        return {};
    auto start = at + field.size() + 2;
    return header.substr(start, header.find('\n', start) - start);
}

void ExpectFonts(Ledger& ledger, const std::string& name, int charset) {
    for (int line = 1; line <= Ledger::kTextlines; ++line) {
        EXPECT_EQ(ledger.Textline(line).fontName, name) << "line " << line;
        EXPECT_EQ(ledger.Textline(line).fontCharset, charset) << "line " << line;
    }
}

TEST_F(LedgerFontsTest, EachLanguageGetsItsFontOnEveryTitleLine) {
    {
        ScopedSession session("LANGUAGE=CHS");
        Ledger ledger;
        SetLedgerFonts(*ctx_, ledger);
        ExpectFonts(ledger, "宋体", 134);
        EXPECT_EQ(ctx_->g_Language, "CHS");  // filled from the session
    }
    ctx_->g_Language.clear();
    {
        // English: the font named in the catalogue's header.
        ScopedSession session("LANGUAGE=ENG");
        std::string po = EnglishPo("resources.po");
        std::string name = PoHeaderField(po, "X-Orva-Font-Name");
        std::string charset = PoHeaderField(po, "X-Orva-Font-Charset");
        ASSERT_FALSE(name.empty());
        ASSERT_FALSE(charset.empty());
        Ledger ledger;
        SetLedgerFonts(*ctx_, ledger);
        ExpectFonts(ledger, name, std::stoi(charset));
    }
}

TEST_F(LedgerFontsTest, DefaultsWhenTheLoaderOrTheCatalogueIsMissing) {
    ScopedSession session("LANGUAGE=ENG");
    ComponentRegistry::Unregister(LexonLoader::kProgID);
    EXPECT_EQ(GetFontProps(*ctx_), nullptr);
    Ledger ledger;
    SetLedgerFonts(*ctx_, ledger);
    ExpectFonts(ledger, "宋体", 134);

    RegisterLanguageComponents();
    ScopedEnv dir("ORVA_I18N_DIR", EmptyFolder("fonts"));
    testing::internal::CaptureStderr();
    auto props = GetFontProps(*ctx_);
    testing::internal::GetCapturedStderr();
    ASSERT_NE(props, nullptr);
    EXPECT_EQ(props->Count(), 0);
    Ledger other;
    other.SetTextlineFontName(3, "Courier");
    SetLedgerFonts(*ctx_, other);
    ExpectFonts(other, "宋体", 134);
}

}  // namespace
}  // namespace orva
