// Fonts that render Chinese. The module names Windows fonts (宋体, charset
// 134); on Linux those become the Noto CJK families, with the font asked for
// kept first in case it is installed.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace orva::qt {

// The families tried, in order, for a font name of the module ("" for the
// default): the name itself, the Noto CJK families, common fallbacks.
QStringList CjkFamilies(const QString& name);

// `base` with its families replaced by CjkFamilies(name).
QFont CjkFont(const QString& name, const QFont& base);

// Gives the application's default font the CJK fallbacks, so that every
// widget renders Chinese captions even where the platform font has none.
void InstallCjkApplicationFont();

}  // namespace orva::qt
