#pragma once

#include "app/main_form.h"
#include "platform/message_box.h"
#include "platform/open_file_dialog.h"
#include "settings/user_settings.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A private settings file and folder per test, message boxes recorded and
// file-open dialogs answered from a script, so no test waits on a modal window.
struct FormFixture
{
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<scrivane::UserSettings> settings;
    std::unique_ptr<scrivane::MessageRecorder> messages;
    std::unique_ptr<scrivane::FileDialogScript> dialogs;

    void reset()
    {
        dialogs.reset();
        messages.reset();
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<scrivane::UserSettings>(dir->filePath(QStringLiteral("settings.ini")));
        messages = std::make_unique<scrivane::MessageRecorder>();
        dialogs = std::make_unique<scrivane::FileDialogScript>();
    }

    QString path(const QString& name) const { return dir->filePath(name); }

    // The stored text of key, or "<absent>".
    QString stored(const char* key) const
    {
        return QString::fromStdString(settings->getUserSetting(key, std::string("<absent>")));
    }

    void store(const char* key, const QString& value) const
    {
        QVERIFY(settings->saveUserSetting(key, value.toStdString()));
    }
};

template <class Widget = QAbstractButton>
Widget* control(const QWidget& form, const char* name)
{
    auto* widget = form.findChild<Widget*>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

inline void click(const QWidget& form, const char* name)
{
    QTest::mouseClick(control(form, name), Qt::LeftButton);
}

inline QString boxText(const QWidget& form)
{
    return control<QLineEdit>(form, "fileName")->text();
}

inline void setBoxText(const QWidget& form, const QString& text)
{
    control<QLineEdit>(form, "fileName")->setText(text);
}
