#pragma once

#include "platform/file_services.h"
#include "stored_settings.h"

#include <QString>

#include <optional>

#include <string>
#include <string_view>

namespace scrivane {

// The user's settings: one INI file per user, section "Prefs", every value text.
// Each call opens the file afresh and each write is synced before it returns, so
// two running copies see each other's keys and a crash loses nothing saved.
class UserSettings : public SettingSource
{
public:
    // The user's own store: "Korvel Scrivane.ini" in the per-user config folder
    // ($XDG_CONFIG_HOME or ~/.config on Linux, %APPDATA% on Windows).
    UserSettings();
    explicit UserSettings(QString iniPath);

    const QString& fileName() const { return path_; }

    // Ok unless the store can't be used at all: something other than a plain file
    // stands at its name. Such a store reads as failing and takes no write.
    FileResult usable() const;

    // The stored text of key; the default in text form when the key is absent; the
    // empty text when the store can't be read.
    std::string getUserSetting(std::string_view key, const SettingValue& defaultValue) const override;

    // True exactly when this value has reached the disk.
    bool saveUserSetting(std::string_view key, const SettingValue& value) const;

    // Several keys in one write of the file: one open, one sync. True exactly
    // when every value has reached the disk; when the store takes no write, none
    // of them has.
    bool saveUserSettings(const SettingWrites& values) const;

    // Profiles of bank files, in a group of their own ("BankFileProfiles"), away
    // from the main window's and the cleaner's keys: one key per layout, named
    // by a hash of the layout's key since column titles may hold any character,
    // the profile as its value, and beside it ("<hash>-layout") the layout's key
    // itself, for a person reading the file.
    std::optional<std::string> bankFileProfile(std::string_view layoutKey) const override;
    bool saveBankFileProfile(std::string_view layoutKey, const std::string& profile) const;

private:
    QString path_;
};

} // namespace scrivane
