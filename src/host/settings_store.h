// The host's settings store: the user's choices kept between sessions, as
// texts under an application, a section and a key (names compare without
// regard to ASCII case). Callers declare each setting once as a typed
// SettingKey next to its default and read it back typed: a key that is
// absent, or whose text is not a value of the type (or is refused by the
// key's own check), gives the default, so a store holding garbage never
// breaks a window.
//
//   inline SettingKey<int> ColWidthSetting(int col) {
//       return {"OrvaSalePrice", "OrvaCustInfo", std::to_string(col) + "CustCol", 1200};
//   }
//   int width = CurrentSettings().Get(ColWidthSetting(3));
//   CurrentSettings().Set(ColWidthSetting(3), 900);
//
// Two stores come with the platform: MemorySettingsStore (the default of a
// process whose host set none, and the one tests use) and IniSettingsStore
// (a text file); the Qt build adds one of its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace orva {

// How a typed value is written as a setting's text and read back. Texts that
// do not read as a value give nothing.
template <class T>
struct SettingCodec;

template <>
struct SettingCodec<bool> {
    // "True" / "False"; reads those (any case) and whole numbers (0 False).
    static std::string Encode(bool value);
    static std::optional<bool> Decode(std::string_view text);
};
template <>
struct SettingCodec<std::int32_t> {
    // Decimal; reads a whole number in range, blanks around it allowed.
    static std::string Encode(std::int32_t value);
    static std::optional<std::int32_t> Decode(std::string_view text);
};
template <>
struct SettingCodec<double> {
    // Shortest round-trip text in the C locale; reads finite numbers only.
    static std::string Encode(double value);
    static std::optional<double> Decode(std::string_view text);
};
template <>
struct SettingCodec<std::string> {
    static std::string Encode(const std::string& value) { return value; }
    static std::optional<std::string> Decode(std::string_view text) { return std::string(text); }
};

// One setting: where it lives, its type and what applies when nothing usable
// is stored. `accept`, when set, refuses stored values out of range.
template <class T>
struct SettingKey {
    std::string app;
    std::string section;
    std::string key;
    T defaultValue{};
    bool (*accept)(const T&) = nullptr;
};

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored text, or nothing when the key is absent.
    virtual std::optional<std::string> Read(std::string_view app, std::string_view section,
                                            std::string_view key) const = 0;
    // Stores the text; a failure to keep it raises ComError.
    virtual void Write(std::string_view app, std::string_view section, std::string_view key,
                       std::string_view value) = 0;
    // Forgets the key (nothing happens when it is absent).
    virtual void Remove(std::string_view app, std::string_view section, std::string_view key) = 0;

    // The stored value when it reads as a T the key accepts, else nothing.
    template <class T>
    std::optional<T> Find(const SettingKey<T>& k) const {
        std::optional<std::string> text = Read(k.app, k.section, k.key);
        if (!text)
            return std::nullopt;
        std::optional<T> value = SettingCodec<T>::Decode(*text);
        if (value && k.accept && !k.accept(*value))
            return std::nullopt;
        return value;
    }
    // The stored value, or the key's default.
    template <class T>
    T Get(const SettingKey<T>& k) const {
        std::optional<T> value = Find(k);
        return value ? std::move(*value) : k.defaultValue;
    }
    template <class T>
    void Set(const SettingKey<T>& k, const T& value) {
        Write(k.app, k.section, k.key, SettingCodec<T>::Encode(value));
    }
};

// Settings held in memory for the life of the object.
class MemorySettingsStore : public SettingsStore {
  public:
    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) const override;
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override;
    void Remove(std::string_view app, std::string_view section, std::string_view key) override;

    // Number of stored keys (for tests and diagnostics).
    std::size_t Size() const { return values_.size(); }

  private:
    // Application, section and key, folded to lower case.
    using Address = std::tuple<std::string, std::string, std::string>;
    static Address AddressOf(std::string_view app, std::string_view section, std::string_view key);
    std::map<Address, std::string> values_;
};

// Settings in a text file of "[application/section]" headers and "key=value"
// lines (UTF-8; blanks around "=" are not part of the name or value, so
// backslash, line breaks and a leading blank in values are escaped; names
// holding "[", "]", "=" or a line break are refused with ComError). The file is read when the store
// is made; every write reads it again, applies the change and replaces the file in one rename, so
// that two processes writing different keys keep each other's values. A file that does not exist is
// an empty store; lines that do not parse are ignored.
class IniSettingsStore : public SettingsStore {
  public:
    explicit IniSettingsStore(std::string path);

    std::optional<std::string> Read(std::string_view app, std::string_view section,
                                    std::string_view key) const override;
    void Write(std::string_view app, std::string_view section, std::string_view key,
               std::string_view value) override;
    void Remove(std::string_view app, std::string_view section, std::string_view key) override;

    const std::string& Path() const { return path_; }

  private:
    struct Section {
        std::string name;  // "application/section" as first written
        std::vector<std::pair<std::string, std::string>> entries;
    };
    void Load();
    void Save() const;
    const std::string* Lookup(std::string_view app, std::string_view section,
                              std::string_view key) const;

    std::string path_;
    std::vector<Section> sections_;
};

// The file a host keeps its settings in: $XDG_CONFIG_HOME/orva/OrvaSalePrice.ini,
// or ~/.config/orva/OrvaSalePrice.ini; "" when neither variable is set.
std::string DefaultSettingsPath();

// The process's settings store. Until the host sets one, an in-memory store:
// choices are kept while the process runs and lost at its end.
SettingsStore& CurrentSettings();
void SetCurrentSettings(std::shared_ptr<SettingsStore> store);
std::shared_ptr<SettingsStore> CurrentSettingsPtr();

}  // namespace orva
