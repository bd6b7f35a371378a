#include "host/settings_store.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/base/text_util.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"

namespace orva {

// --- Codecs ---------------------------------------------------------------

std::string SettingCodec<bool>::Encode(bool value) {
    return value ? "True" : "False";
}

std::optional<bool> SettingCodec<bool>::Decode(std::string_view text) {
    std::string_view t = Trim(text);
    if (EqualsNoCase(t, "True"))
        return true;
    if (EqualsNoCase(t, "False"))
        return false;
    if (auto n = SettingCodec<std::int32_t>::Decode(t))
        return *n != 0;
    return std::nullopt;
}

std::string SettingCodec<std::int32_t>::Encode(std::int32_t value) {
    return std::to_string(value);
}

std::optional<std::int32_t> SettingCodec<std::int32_t>::Decode(std::string_view text) {
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

std::string SettingCodec<double>::Encode(double value) {
    return FormatDouble(value);
}

std::optional<double> SettingCodec<double>::Decode(std::string_view text) {
    std::optional<double> value = ParseNumber(text);
    if (value && !std::isfinite(*value))
        return std::nullopt;
    return value;
}

// --- In memory ------------------------------------------------------------

MemorySettingsStore::Address MemorySettingsStore::AddressOf(std::string_view app,
                                                            std::string_view section,
                                                            std::string_view key) {
    return {ToLowerAscii(app), ToLowerAscii(section), ToLowerAscii(key)};
}

std::optional<std::string> MemorySettingsStore::Read(std::string_view app, std::string_view section,
                                                     std::string_view key) const {
    auto it = values_.find(AddressOf(app, section, key));
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void MemorySettingsStore::Write(std::string_view app, std::string_view section,
                                std::string_view key, std::string_view value) {
    values_[AddressOf(app, section, key)] = std::string(value);
}

void MemorySettingsStore::Remove(std::string_view app, std::string_view section,
                                 std::string_view key) {
    values_.erase(AddressOf(app, section, key));
}

// --- INI file -------------------------------------------------------------

namespace {

std::string SectionName(std::string_view app, std::string_view section) {
    return std::string(app) + "/" + std::string(section);
}

void CheckName(std::string_view name, bool isKey) {
    bool bad = name.find_first_of("[]\r\n") != std::string_view::npos ||
               (isKey && (name.empty() || name.find('=') != std::string_view::npos ||
                          Trim(name).size() != name.size()));
    if (bad) {
        throw ComError(ComError::kGeneric,
                       "A setting name may not hold \"[\", \"]\", \"=\" or a line break, nor "
                       "be empty or start or end with a blank: \"" +
                           std::string(name) + "\"");
    }
}

std::string Escape(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 1);
    // Blanks after "=" are not part of a value read back; an escaped one is.
    if (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        out += '\\';
    for (char c : value) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            char n = text[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string path) : path_(std::move(path)) {
    Load();
}

void IniSettingsStore::Load() {
    sections_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return;  // no file yet: an empty store
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string_view t = Trim(line);
        if (t.empty() || t.front() == ';' || t.front() == '#')
            continue;
        if (t.front() == '[') {
            current = nullptr;
            if (t.back() != ']' || t.find('/') == std::string_view::npos)
                continue;  // not a header of ours: its lines are ignored
            std::string name(t.substr(1, t.size() - 2));
            for (auto& s : sections_) {
                if (EqualsNoCase(s.name, name))
                    current = &s;
            }
            if (!current)
                current = &sections_.emplace_back(Section{std::move(name), {}});
            continue;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string::npos)
            continue;
        std::string key(Trim(std::string_view(line).substr(0, eq)));
        if (key.empty())
            continue;
        std::string_view raw = std::string_view(line).substr(eq + 1);
        while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) raw.remove_prefix(1);
        std::string value = Unescape(raw);
        bool replaced = false;
        for (auto& [k, v] : current->entries) {
            if (EqualsNoCase(k, key)) {
                v = value;  // the last line of a key wins
                replaced = true;
            }
        }
        if (!replaced)
            current->entries.emplace_back(std::move(key), std::move(value));
    }
}

void IniSettingsStore::Save() const {
    std::ostringstream out;
    for (const auto& s : sections_) {
        if (s.entries.empty())
            continue;
        out << '[' << s.name << "]\n";
        for (const auto& [k, v] : s.entries) out << k << '=' << Escape(v) << '\n';
        out << '\n';
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path_);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    std::string temp = path_ + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << out.str();
        file.flush();
        if (!file) {
            fs::remove(temp, ec);
            throw ComError(ComError::kGeneric, "Cannot write the settings file " + temp);
        }
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw ComError(ComError::kGeneric,
                       "Cannot replace the settings file " + path_ + ": " + ec.message());
    }
}

const std::string* IniSettingsStore::Lookup(std::string_view app, std::string_view section,
                                            std::string_view key) const {
    std::string name = SectionName(app, section);
    for (const auto& s : sections_) {
        if (!EqualsNoCase(s.name, name))
            continue;
        for (const auto& [k, v] : s.entries) {
            if (EqualsNoCase(k, key))
                return &v;
        }
    }
    return nullptr;
}

std::optional<std::string> IniSettingsStore::Read(std::string_view app, std::string_view section,
                                                  std::string_view key) const {
    const std::string* value = Lookup(app, section, key);
    if (!value)
        return std::nullopt;
    return *value;
}

void IniSettingsStore::Write(std::string_view app, std::string_view section, std::string_view key,
                             std::string_view value) {
    CheckName(app, false);
    CheckName(section, false);
    CheckName(key, true);
    Load();  // another process may have written since
    std::string name = SectionName(app, section);
    Section* target = nullptr;
    for (auto& s : sections_) {
        if (EqualsNoCase(s.name, name))
            target = &s;
    }
    if (!target)
        target = &sections_.emplace_back(Section{name, {}});
    bool found = false;
    for (auto& [k, v] : target->entries) {
        if (EqualsNoCase(k, key)) {
            v = std::string(value);
            found = true;
        }
    }
    if (!found)
        target->entries.emplace_back(std::string(key), std::string(value));
    Save();
}

void IniSettingsStore::Remove(std::string_view app, std::string_view section,
                              std::string_view key) {
    Load();
    std::string name = SectionName(app, section);
    bool removed = false;
    for (auto& s : sections_) {
        if (EqualsNoCase(s.name, name)) {
            removed |= std::erase_if(s.entries,
                                     [&](const auto& e) { return EqualsNoCase(e.first, key); }) > 0;
        }
    }
    if (removed)
        Save();
}

// --- The process's store --------------------------------------------------

std::string DefaultSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg)
        return std::string(xdg) + "/orva/OrvaSalePrice.ini";
    const char* home = std::getenv("HOME");
    if (home && *home)
        return std::string(home) + "/.config/orva/OrvaSalePrice.ini";
    return {};
}

namespace {
std::shared_ptr<SettingsStore>& Slot() {
    // Process-wide: the host's store of its user's settings, installed once;
    // a module context may name another (ModuleContext::settings).
    static std::shared_ptr<SettingsStore> store = std::make_shared<MemorySettingsStore>();
    return store;
}
}  // namespace

SettingsStore& CurrentSettings() {
    return *Slot();
}

void SetCurrentSettings(std::shared_ptr<SettingsStore> store) {
    Slot() = store ? std::move(store) : std::make_shared<MemorySettingsStore>();
}

std::shared_ptr<SettingsStore> CurrentSettingsPtr() {
    return Slot();
}

}  // namespace orva
