#include "platform/document_opener.h"
#include "support/platform_facts.h"
#include "support/test_files.h"

#include <QDir>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

// Whether the desktop names an application for a document, asked of the system
// itself: on Unix xdg-mime in a desktop of the test's own making, on Windows the
// file type associations, with one that the test registers (Wine's prefixes come
// with few of their own).
class TestDocumentOpener : public QObject
{
    Q_OBJECT

private slots:
    void applicationFor_data()
    {
        QTest::addColumn<QString>("desktop"); // the .desktop file's MIME types, or "" for none
        QTest::addColumn<QString>("defaults"); // mimeapps.list's [Default Applications] line, or ""
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("found");
        auto add = [](const char* tag, QString desktop, QString defaults, QString document, bool found) {
            QTest::newRow(tag) << desktop << defaults << document << found;
        };
#ifdef Q_OS_WIN
        add("registered type", {}, {}, "guide.scrivane-test", true);
        add("unknown type", {}, {}, "guide.scrivane-no-such-type", false);
#else
        add("word processor", "application/msword;text/rtf;", {}, "Guide.doc", true);
        add("no word processor", "text/html;", {}, "Guide.doc", false);
        add("browser", "text/html;", {}, "Guide.html", true);
        add("nothing", {}, {}, "Guide.html", false);
        add("chosen default", "text/plain;", "application/msword=writer.desktop", "Guide.doc", true);
        add("default gone", {}, "application/msword=writer.desktop", "Guide.doc", false);
#endif
    }
    void applicationFor()
    {
        QFETCH(QString, desktop);
        QFETCH(QString, defaults);
        QFETCH(QString, document);
        QFETCH(bool, found);
        QTemporaryDir home;
#ifdef Q_OS_WIN
        // A user's own types live under HKCU; Wine's association lookup reads only HKCR.
        QSettings classes(runsUnderWine() ? "HKEY_CLASSES_ROOT" : "HKEY_CURRENT_USER\\Software\\Classes",
                          QSettings::NativeFormat);
        classes.setValue(".scrivane-test/Default", "Scrivane.Test");
        classes.setValue("Scrivane.Test/shell/open/command/Default", "\"C:\\windows\\notepad.exe\" \"%1\"");
        classes.sync();
        const auto unregister = qScopeGuard([&classes] {
            classes.remove(".scrivane-test");
            classes.remove("Scrivane.Test");
        });
#else
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty())
            QSKIP("xdg-mime (xdg-utils) is not installed");
        // A desktop of the test's own: no environment that xdg-mime would ask
        // instead of the files, and only this test's applications.
        const QDir root(home.path());
        QVERIFY(root.mkpath("data/applications") && root.mkpath("system") && root.mkpath("config"));
        // Qt still finds the MIME types it names documents by.
        QFile::link("/usr/share/mime", root.filePath("system/mime"));
        if (!desktop.isEmpty())
            QVERIFY(writeFile(root.filePath("data/applications/writer.desktop"),
                              "[Desktop Entry]\nType=Application\nName=W\nExec=true %f\nMimeType=" + desktop.toUtf8()));
        if (!defaults.isEmpty())
            QVERIFY(writeFile(root.filePath("config/mimeapps.list"), "[Default Applications]\n" + defaults.toUtf8()));
        for (const char* name : {"XDG_CURRENT_DESKTOP",
                                 "XDG_SESSION_DESKTOP",
                                 "DESKTOP_SESSION",
                                 "KDE_FULL_SESSION",
                                 "KDE_SESSION_VERSION",
                                 "GNOME_DESKTOP_SESSION_ID",
                                 "MATE_DESKTOP_SESSION_ID",
                                 "XDG_MENU_PREFIX",
                                 "DISPLAY",
                                 "WAYLAND_DISPLAY"})
            qunsetenv(name);
        qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", root.filePath("system").toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", root.filePath("config").toUtf8());
#endif
        QCOMPARE(desktopHasApplicationFor(QDir(home.path()).filePath(document)), found);
    }
};

QTEST_GUILESS_MAIN(TestDocumentOpener)
#include "tst_document_opener.moc"
