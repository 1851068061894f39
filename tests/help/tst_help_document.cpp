#include "help/help_document.h"
#include "support/scripted_prompts.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace scrivane;

namespace {

// What Help did: the count, what it opened, the boxes, with FOLDER for folder.
QString outcome(int count, const ScriptedPrompts& prompts, const QString& folder)
{
    QStringList parts {QString::number(count)};
    QStringList opened = prompts.opened;
    opened.sort();
    parts << opened;
    for (const ShownMessage& box : prompts.messages())
        parts << QStringList {"none", "critical"}.value(int(box.icon)) + ' ' + box.title + ": " + box.text;
    // The message gives paths as the system writes them.
    return parts.join(" | ")
        .replace(QDir::toNativeSeparators(folder), "FOLDER")
        .replace(folder, "FOLDER")
        .replace('\\', '/');
}

const QString noApplication = "none Scrivane: No program on this computer opens the user guide. "
                              "Please open it yourself from:\r\n\r\n";

} // namespace

class TestHelpDocument : public QObject
{
    Q_OBJECT

private slots:
    // Every ".doc" of the folder but those whose name holds "Help for", in that letter case;
    // the ".html" of the same name where no application takes the ".doc"; the paths where neither is taken.
    void documentsOfTheFolder_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("expected");
        const QStringList both {"doc", "html"};

        QTest::newRow("documents") << QStringList {"Guide.doc", "Help for Other.doc", "Z.doc", "c.txt", "Guide.html"}
                                   << both << true << "2 | FOLDER/Guide.doc | FOLDER/Z.doc";
        QTest::newRow("letter case") << QStringList {"help for guide.doc"} << both << true
                                     << "1 | FOLDER/help for guide.doc";
        QTest::newRow("none") << QStringList {"Help for Other.doc", "Guide.html"} << both << true
                              << "0 | critical Scrivane: Did not find the documentation file.\r\n\r\n"
                                 "Please open the document file '''' manually.";
        QTest::newRow("no opener") << QStringList {"Guide.doc"} << both << false
                                   << "0 | none Scrivane: Unable to launch MS Word. Please open the documentation "
                                      "file manually from FOLDER.";
        QTest::newRow("browser only") << QStringList {"Guide.doc", "Guide.html", "Z.doc"} << QStringList {"html"}
                                      << true << "1 | FOLDER/Guide.html | " + noApplication + "FOLDER/Z.doc";
        QTest::newRow("neither") << QStringList {"Guide.doc", "Guide.html"} << QStringList {} << true
                                 << "0 | " + noApplication + "FOLDER/Guide.doc\r\nFOLDER/Guide.html";
    }
    void documentsOfTheFolder()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, taken);
        QFETCH(bool, starts);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString& name : files)
            writeFile(dir.filePath(name), "{\\rtf1 }");
        ScriptedPrompts prompts;
        prompts.starts = starts;
        prompts.suffixesTaken = taken;
        const int count = openHelpDocument(prompts, dir.path());
        QCOMPARE(outcome(count, prompts, dir.path()), expected);
    }

    // Help pressed in a window answers from the program's folder, where the build put the guide,
    // through the platform's opener: the .doc, else the .html, else both paths.
    void helpFromTheWindow_data()
    {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected");
        const QString guide = "FOLDER/Scrivane User Guide";
        QTest::newRow("word processor") << QStringList {"doc", "html"} << "1 | " + guide + ".doc";
        QTest::newRow("browser only") << QStringList {"html"} << "1 | " + guide + ".html";
        QTest::newRow("neither") << QStringList {} << "0 | " + noApplication + guide + ".doc\r\n" + guide + ".html";
    }
    void helpFromTheWindow()
    {
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        QWidget window;
        ScriptedPrompts prompts;
        prompts.suffixesTaken = taken;
        const int count = openHelpDocument(prompts, &window);
        QCOMPARE(outcome(count, prompts, QCoreApplication::applicationDirPath()), expected);
    }
};

QTEST_MAIN(TestHelpDocument)
#include "tst_help_document.moc"
