#include "user_settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace scrivane {

namespace {

const QString section = QStringLiteral("Prefs/");
const QString profileGroup = QStringLiteral("BankFileProfiles/");

// A layout's key as a settings key: SHA-1's first 16 hexadecimal digits, the
// same in every version and on every system.
QString profileKey(std::string_view layoutKey)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray(layoutKey.data(), static_cast<qsizetype>(layoutKey.size())), QCryptographicHash::Sha1);
    return profileGroup + QString::fromLatin1(digest.toHex().left(16).toUpper());
}

QString keyPath(std::string_view key)
{
    return section + QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// QSettings hands back what it parsed, which for a hand-edited file need not be a
// plain string: an unquoted "a,b" arrives as a list and "@ByteArray(...)" as bytes.
std::string storedText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().toStdString();
    case QMetaType::QStringList:
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    case QMetaType::QByteArray:
        return value.toByteArray().toStdString();
    default:
        return value.canConvert<QString>() ? value.toString().toStdString() : std::string();
    }
}

const QString storeName = QStringLiteral("Korvel Scrivane");

// Where the user's INI file is, found without a QSettings object, which would
// open the file at once, FIFO or not. On Windows it is "Korvel Scrivane.ini" in
// %APPDATA%, the folder Qt would pick too; taking it from the variable lets a
// private environment (a test, a program started with another APPDATA) move it,
// as XDG_CONFIG_HOME does elsewhere.
QString userStorePath()
{
#ifdef Q_OS_WIN
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return QDir::fromNativeSeparators(appData) + QLatin1Char('/') + storeName + QStringLiteral(".ini");
    return QSettings(QSettings::IniFormat, QSettings::UserScope, storeName).fileName();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + storeName
        + QStringLiteral(".ini");
#endif
}

} // namespace

UserSettings::UserSettings()
    : path_(userStorePath())
{
}

UserSettings::UserSettings(QString iniPath)
    : path_(std::move(iniPath))
{
}

FileResult UserSettings::usable() const
{
    // A folder is refused by QSettings itself; a FIFO would have it wait forever.
    return plainFileOrNothing(path_);
}

std::string UserSettings::getUserSetting(std::string_view key, const SettingValue& defaultValue) const
{
    if (!usable().ok())
        return {};
    try {
        QSettings store(path_, QSettings::IniFormat);
        const QString name = keyPath(key);
        QVariant value = store.value(name);
        // A format error only means that some lines were skipped; what parsed stands.
        if (store.status() == QSettings::AccessError)
            return {};
        if (!store.contains(name))
            return settingText(defaultValue);
        return storedText(value);
    } catch (...) {
        return {};
    }
}

bool UserSettings::saveUserSetting(std::string_view key, const SettingValue& value) const
{
    return saveUserSettings({{key, settingText(value)}});
}

bool UserSettings::saveUserSettings(const SettingWrites& values) const
{
    if (!usable().ok())
        return false;
    try {
        QSettings store(path_, QSettings::IniFormat);
        for (const auto& [key, text] : values)
            store.setValue(keyPath(key), QString::fromStdString(text));
        store.sync();
        // A file with unreadable lines reports a format error but is written all
        // the same (without those lines); only an access error means the value
        // did not reach the disk.
        return store.status() != QSettings::AccessError;
    } catch (...) {
        return false;
    }
}

std::optional<std::string> UserSettings::bankFileProfile(std::string_view layoutKey) const
{
    if (!usable().ok())
        return std::nullopt;
    try {
        QSettings store(path_, QSettings::IniFormat);
        const QString key = profileKey(layoutKey);
        if (store.status() == QSettings::AccessError || !store.contains(key))
            return std::nullopt;
        return storedText(store.value(key));
    } catch (...) {
        return std::nullopt;
    }
}

bool UserSettings::saveBankFileProfile(std::string_view layoutKey, const std::string& profile) const
{
    if (!usable().ok())
        return false;
    try {
        QSettings store(path_, QSettings::IniFormat);
        const QString key = profileKey(layoutKey);
        store.setValue(key, QString::fromStdString(profile));
        store.setValue(key + QStringLiteral("-layout"),
                       QString::fromUtf8(layoutKey.data(), static_cast<qsizetype>(layoutKey.size())));
        store.sync();
        return store.status() != QSettings::AccessError;
    } catch (...) {
        return false;
    }
}

} // namespace scrivane
