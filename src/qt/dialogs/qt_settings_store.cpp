#include "qt/dialogs/qt_settings_store.h"

#include <QSettings>

#include "orvasaleprice/com_error.h"
#include "qt/controls/qt_text.h"

namespace orva::qt {
namespace {

void CheckName(std::string_view name) {
    if (name.empty() || name.find('/') != std::string_view::npos ||
        name.find('\\') != std::string_view::npos) {
        throw ComError(ComError::kGeneric,
                       "A settings name may not be empty or hold \"/\" or \"\\\": \"" +
                           std::string(name) + "\"");
    }
}

// The entry of `names` equal to `wanted` without regard to ASCII case.
QString Match(const QStringList& names, const QString& wanted, bool* found) {
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            *found = true;
            return name;
        }
    }
    *found = false;
    return wanted;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("orva"), QStringLiteral("OrvaSalePrice"))) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::FileName() const {
    return settings_->fileName();
}

QString QtSettingsStore::Path(std::string_view app, std::string_view section, std::string_view key,
                              bool* exists) const {
    CheckName(app);
    CheckName(section);
    CheckName(key);
    bool found = false;
    *exists = false;
    const QString appName = Match(settings_->childGroups(), Q(app), &found);
    if (!found)
        return appName + '/' + Q(section) + '/' + Q(key);
    settings_->beginGroup(appName);
    const QString sectionName = Match(settings_->childGroups(), Q(section), &found);
    QString keyName = Q(key);
    if (found) {
        settings_->beginGroup(sectionName);
        keyName = Match(settings_->childKeys(), Q(key), exists);
        settings_->endGroup();
    }
    settings_->endGroup();
    return appName + '/' + sectionName + '/' + keyName;
}

std::optional<std::string> QtSettingsStore::Read(std::string_view app, std::string_view section,
                                                 std::string_view key) const {
    bool exists = false;
    const QString path = Path(app, section, key, &exists);
    if (!exists)
        return std::nullopt;
    return U(settings_->value(path).toString());
}

void QtSettingsStore::Write(std::string_view app, std::string_view section, std::string_view key,
                            std::string_view value) {
    bool exists = false;
    const QString path = Path(app, section, key, &exists);
    settings_->setValue(path, Q(value));
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        throw ComError(ComError::kGeneric,
                       "The settings file cannot be written: " + U(settings_->fileName()));
    }
}

void QtSettingsStore::Remove(std::string_view app, std::string_view section, std::string_view key) {
    bool exists = false;
    const QString path = Path(app, section, key, &exists);
    if (!exists)
        return;
    settings_->remove(path);
    settings_->sync();
}

}  // namespace orva::qt
