#pragma once

#include "app/main_form.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

// A private folder per test, holding a statement "s.ofx" and a store named as the programs name theirs (a program
// started with XDG_CONFIG_HOME there shares it). Message boxes are recorded, file dialogs cancelled.
class FormTest : public QObject
{
protected:
    std::optional<QTemporaryDir> dir;
    std::optional<QTemporaryDir> home;
    std::optional<scrivane::UserSettings> settings;
    scrivane::ScriptedPrompts prompts; // what the windows show, and the answers given to them
    inline static const std::string absent = "<absent>";

    void reset()
    {
        // A home of the test's own, so that Clean File puts originals into a trash of its own.
        home.emplace();
        QVERIFY(QDir(home->path()).mkdir("data"));
        qputenv("HOME", QFile::encodeName(home->path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home->filePath("data")));
        dir.emplace();
        settings.emplace(path("Korvel Scrivane.ini"));
        prompts.clear();
        writeFile(path("s.ofx"), bankStatement);
    }
    QString path(const QString& name) const { return dir->filePath(name); }
    QString stored(const char* key) const { return QString::fromStdString(settings->getUserSetting(key, absent)); }
    void store(const char* key, QString text) const { QVERIFY(settings->saveUserSetting(key, text.toStdString())); }
    // The one message box shown, as "icon: text", provided it carries the program's title.
    QString shown() const
    {
        const auto& all = prompts.messages();
        if (all.size() != 1 || all[0].title != QLatin1String("Scrivane"))
            return QStringLiteral("<%1 boxes>").arg(all.size());
        return QStringList {"none", "critical", "information"}.at(int(all[0].icon)) + ": " + all[0].text;
    }

    template <class Widget = QWidget>
    static Widget* control(const QWidget& form, const char* name)
    {
        return form.findChild<Widget*>(name);
    }
    static void click(const QWidget& form, const char* name) { QTest::mouseClick(control(form, name), Qt::LeftButton); }
    static QLineEdit* box(const QWidget& form) { return control<QLineEdit>(form, "fileName"); }
};
