// The settings store on QSettings: application and section become nested
// groups, the key a key inside them ("OrvaSalePrice/OrvaCustInfo/3CustCol").
// Names compare without regard to ASCII case, as the store promises: a read
// finds a key however it was spelt, a write keeps the spelling already in
// the file. The default file is QSettings' own for organisation "orva" and
// application "OrvaSalePrice" (~/.config/orva/OrvaSalePrice.conf).
#pragma once

#include <QString>
#include <memory>

#include "host/settings_store.h"

class QSettings;

namespace orva::qt {

class QtSettingsStore : public SettingsStore {
  public:
    // The user's settings file.
    QtSettingsStore();
    // An INI file of its own (tests, portable installs).
    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;

    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) const override;
    // Names holding "/" or "\" are refused with ComError, and so is a file
    // that cannot be written.
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override;
    void Remove(std::string_view app, std::string_view section, std::string_view key) override;

    QString FileName() const;

  private:
    // The stored spelling of each name, or the given one when absent.
    QString Path(std::string_view app, std::string_view section, std::string_view key,
                 bool* exists) const;

    std::unique_ptr<QSettings> settings_;
};

}  // namespace orva::qt
