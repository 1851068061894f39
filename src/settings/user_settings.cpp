#include "user_settings.h"

#include "platform/file_services.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QVariant>

namespace scrivane {

namespace {

const QString section = QStringLiteral("Prefs/");

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

std::optional<QString> UserSettings::unusableReason() const
{
    // A folder is refused by QSettings itself; a FIFO would have it wait forever.
    return notPlainFileReason(path_);
}

std::string UserSettings::getUserSetting(std::string_view key, const SettingValue& defaultValue) const
{
    if (unusableReason())
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
    if (unusableReason())
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

} // namespace scrivane
