#include "qt/controls/cjk_fonts.h"

#include <QApplication>

namespace orva::qt {
namespace {

// Windows Chinese fonts and the Noto family closest to each.
struct FontAlias {
    const char16_t* name;
    const char* noto;
};
constexpr FontAlias kAliases[] = {
    {u"宋体", "Noto Serif CJK SC"},           {u"新宋体", "Noto Serif CJK SC"},
    {u"SimSun", "Noto Serif CJK SC"},         {u"NSimSun", "Noto Serif CJK SC"},
    {u"仿宋", "Noto Serif CJK SC"},           {u"黑体", "Noto Sans CJK SC"},
    {u"SimHei", "Noto Sans CJK SC"},          {u"微软雅黑", "Noto Sans CJK SC"},
    {u"Microsoft YaHei", "Noto Sans CJK SC"}, {u"Arial", "Liberation Sans"},
    {u"Times New Roman", "Liberation Serif"},
};

}  // namespace

QStringList CjkFamilies(const QString& name) {
    QStringList families;
    const QString trimmed = name.trimmed();
    if (!trimmed.isEmpty())
        families << trimmed;
    for (const FontAlias& alias : kAliases) {
        if (trimmed.compare(QString::fromUtf16(alias.name), Qt::CaseInsensitive) == 0)
            families << QString::fromLatin1(alias.noto);
    }
    for (const char* f :
         {"Noto Sans CJK SC", "Noto Serif CJK SC", "WenQuanYi Micro Hei", "Droid Sans Fallback"}) {
        if (!families.contains(QLatin1String(f)))
            families << QString::fromLatin1(f);
    }
    return families;
}

QFont CjkFont(const QString& name, const QFont& base) {
    QFont font = base;
    QStringList families = CjkFamilies(name);
    // The base family comes right after a font that was asked for by name,
    // so Latin text keeps the platform's look when no name is given.
    if (name.trimmed().isEmpty())
        families.prepend(base.family());
    font.setFamilies(families);
    return font;
}

void InstallCjkApplicationFont() {
    QApplication::setFont(CjkFont(QString(), QApplication::font()));
}

}  // namespace orva::qt
