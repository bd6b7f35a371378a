#include <gtest/gtest.h>

#include "resources_fixture.h"
#include "support/com_error_of.h"
#include "support/language_scope.h"
#include "support/po_file.h"

namespace orva {
namespace {

using test::EnglishPo;
using test::PoTranslation;
using test::ScopedSession;

using GetResTextTest = ResourcesTest;

TEST_F(GetResTextTest, ChineseInAnyCaseGivesTheTextTrimmedWithoutTheLoader) {
    for (const char* code : {"CHS", "chs", "Chs"}) {
        ctx_->g_Language.clear();
        ScopedSession session(std::string("SubID=ar;LANGUAGE=") + code);
        // Creating the loader would fail: Chinese must not need it.
        ComponentRegistry::Unregister(ResLoader::kProgID);
        EXPECT_EQ(GetResText("提示"), "提示");
        EXPECT_EQ(GetResText("  \t提示 \r\n"), "提示");
        EXPECT_EQ(GetResText(""), "");
        // The literal segment keeps its blanks; the marked one is translated.
        EXPECT_EQ(GetResText("客户: ^|^~$~名称"), "客户: 名称");
        EXPECT_EQ(GetResText(" 客户: ^|^~$~ 名称 ^|^ ;"), "客户: 名称 ;");
        EXPECT_EQ(ctx_->g_ResLoader, nullptr);
        EXPECT_EQ(ctx_->g_Language, code);
    }
}

TEST_F(GetResTextTest, MixedTextKeepsEmptyAndLiteralSegments) {
    ScopedSession session("LANGUAGE=CHS");
    EXPECT_EQ(ParseMixedText("a^|^^|^b"), "ab");
    EXPECT_EQ(ParseMixedText("^|^~$~名称^|^"), "名称");
    EXPECT_EQ(ParseMixedText("x~$~y^|^ ~$~z"), "x~$~y ~$~z");  // marker only at the start
    EXPECT_EQ(ParseMixedText("~$~"), "");
    EXPECT_EQ(ParseMixedText("no separator"), "no separator");
}

TEST_F(GetResTextTest, OtherLanguagesAskTheLoaderWithTheTrimmedKey) {
    ScopedSession session("LANGUAGE=XYZ");
    auto loader = UseLoader(std::make_shared<RecordingLoader>());
    EXPECT_EQ(GetResText("  保存数据失败。 "), "[保存数据失败。]");
    EXPECT_EQ(GetResText("客户: ^|^~$~名称^|^ (^|^~$~ 代码 ^|^)"), "客户: [名称] ([代码])");
    ASSERT_EQ(loader->calls.size(), 3u);
    for (const auto& call : loader->calls) {
        EXPECT_EQ(call.base, "ORVAINDUSTRY");
        EXPECT_EQ(call.language, "XYZ");
    }
    EXPECT_EQ(loader->calls[0].key, "保存数据失败。");
    EXPECT_EQ(loader->calls[1].key, "名称");
    EXPECT_EQ(loader->calls[2].key, "代码");
    EXPECT_EQ(ctx_->g_ResLoader, loader);  // created once, then kept
}

TEST_F(GetResTextTest, EnglishComesFromTheBuiltCatalogue) {
    ScopedSession session("SubID=ic;LANGUAGE=ENG");
    std::string po = EnglishPo("model.po");
    std::string notice = PoTranslation(po, "提示");
    ASSERT_FALSE(notice.empty());
    EXPECT_EQ(GetResText(" 提示 "), notice);
    EXPECT_EQ(GetResText("试图添加一个重复的数据！"),
              PoTranslation(po, "试图添加一个重复的数据！"));
    EXPECT_EQ(GetResText("标题: ^|^~$~提示"), "标题: " + notice);
    // A key the catalogue lacks comes back as the trimmed Chinese text.
    EXPECT_EQ(GetResText("  没有译文的文字 "), "没有译文的文字");
}

TEST_F(GetResTextTest, FailingLookupGivesTheTrimmedText) {
    ScopedSession session("LANGUAGE=ENG");
    UseLoader(std::make_shared<FailingLoader>());
    EXPECT_EQ(GetResText(" 提示  "), "提示");
    EXPECT_EQ(GetResText("客户: ^|^~$~名称"), "客户: 名称");
    // The lookup's own failure does not stay behind in the error object.
    EXPECT_FALSE(Err().Pending());
    EXPECT_EQ(Err().Description(), "");
}

TEST_F(GetResTextTest, PendingErrorSurvivesEveryPath) {
    auto pend = [] {
        Err().SetNumber(-2147217900);
        Err().SetDescription("违反了 PRIMARY KEY 约束");
        Err().SetSource("Microsoft OLE DB Provider for SQL Server");
        Err().SetHelpFile("help.chm");
        Err().SetHelpContext(1234);
    };
    auto expectPending = [](const char* path) {
        EXPECT_EQ(Err().Number(), -2147217900) << path;
        EXPECT_EQ(Err().Description(), "违反了 PRIMARY KEY 约束") << path;
        EXPECT_EQ(Err().Source(), "Microsoft OLE DB Provider for SQL Server") << path;
        EXPECT_EQ(Err().HelpFile(), "help.chm") << path;
        EXPECT_EQ(Err().HelpContext(), 1234) << path;
    };
    {
        ScopedSession session("LANGUAGE=ENG");
        UseLoader(std::make_shared<FailingLoader>());  // the lookup records its own error
        pend();
        EXPECT_EQ(GetResText("保存数据失败。"), "保存数据失败。");
        expectPending("failing lookup");
        EXPECT_EQ(GetResText("a^|^~$~b"), "ab");
        expectPending("failing lookup in a mixed text");
    }
    ctx_->g_Language.clear();
    ctx_->g_ResLoader.reset();
    RegisterLanguageComponents();
    {
        ScopedSession session("LANGUAGE=ENG");
        pend();
        GetResText("提示");
        expectPending("catalogue lookup");
    }
    ctx_->g_Language.clear();
    {
        ScopedSession session("LANGUAGE=CHS");
        pend();
        GetResText("客户: ^|^~$~名称");
        expectPending("Chinese");
    }
}

TEST_F(GetResTextTest, EmptyLanguageIsReadFromTheSessionOnEveryCall) {
    auto loader = UseLoader(std::make_shared<RecordingLoader>());
    {
        ScopedSession session("SubID=ar");  // no LANGUAGE
        EXPECT_EQ(GetResText("提示"), "[提示]");
        EXPECT_EQ(ctx_->g_Language, "");
        ASSERT_EQ(loader->calls.size(), 1u);
        EXPECT_EQ(loader->calls[0].language, "");
    }
    {
        ScopedSession session("SubID=ar;LANGUAGE=chs");  // the next call reads it
        EXPECT_EQ(GetResText(" 提示 "), "提示");
        EXPECT_EQ(ctx_->g_Language, "chs");
    }
    {
        ScopedSession session("LANGUAGE=XYZ");  // once known, the code is kept
        EXPECT_EQ(GetResText("提示"), "提示");
        EXPECT_EQ(loader->calls.size(), 1u);
    }
}

TEST_F(GetResTextTest, LoaderThatCannotBeCreatedIsRaised) {
    ScopedSession session("LANGUAGE=ENG");
    ComponentRegistry::Unregister(ResLoader::kProgID);
    EXPECT_EQ(test::ComErrorNumber([&] { GetResText("提示"); }), ComError::kCannotCreate);
    EXPECT_EQ(ctx_->g_ResLoader, nullptr);
    // Once the host registers it, texts are served again.
    RegisterLanguageComponents();
    EXPECT_EQ(GetResText("提示"), PoTranslation(EnglishPo("model.po"), "提示"));
}

TEST(ErrObject, RecordsRaisesAndClears) {
    ErrObject err;
    EXPECT_FALSE(err.Pending());
    err.SetFrom(ComError(ComError::kDuplicateKey, "duplicate key", "Collection"));
    err.SetHelpContext(7);
    EXPECT_TRUE(err.Pending());
    const auto raised = test::ComErrorOf([&] { err.Raise(); });
    ASSERT_TRUE(raised);
    EXPECT_EQ(raised->Number(), ComError::kDuplicateKey);
    EXPECT_EQ(raised->Description(), "duplicate key");
    EXPECT_EQ(raised->Source(), "Collection");
    err.SetFrom(ComError(ComError::kOverflow, "Overflow"));  // replaces help data too
    EXPECT_EQ(err.HelpContext(), 0);
    err.Clear();
    EXPECT_FALSE(err.Pending());
    EXPECT_EQ(err.Description(), "");
    EXPECT_EQ(err.Source(), "");
}

}  // namespace
}  // namespace orva
