#include "help/help_document.h"
#include "platform/message_box.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

struct FakeOpener : DocumentOpener
{
    bool starts = true;
    QStringList opened;

    bool start() override { return starts; }
    void open(const QString& path) override { opened.append(path); }
};

class TestHelpDocument : public QObject
{
    Q_OBJECT

    // Help on a folder holding these files, with a fake opener: the count, what it opened, the boxes; DIR the folder.
    static QString help(const QStringList& files, bool starts = true)
    {
        QTemporaryDir dir;
        for (const QString& name : files)
            writeFile(dir.filePath(name), "{\\rtf1 }");
        MessageRecorder messages;
        FakeOpener opener;
        opener.starts = starts;
        QStringList outcome {QString::number(openHelpDocument(opener, dir.path()))};
        opener.opened.sort();
        outcome << opener.opened;
        for (const ShownMessage& box : messages.messages())
            outcome << QStringList {"none", "critical"}.value(int(box.icon)) + ' ' + box.title + ": " + box.text;
        return outcome.join(" | ").replace(dir.path(), "DIR");
    }

private slots:
    // Every ".doc" of the folder but those whose name holds "Help for", in that letter case.
    void documentsOfTheFolder()
    {
        QCOMPARE(help({"Guide.doc", "Help for Other.doc", "Z.doc", "c.txt"}), "2 | DIR/Guide.doc | DIR/Z.doc");
        QCOMPARE(help({"help for guide.doc"}), "1 | DIR/help for guide.doc");
        QCOMPARE(help({"Help for Other.doc"}),
                 "0 | critical Scrivane: Did not find the documentation file.\r\n\r\n"
                 "Please open the document file '''' manually.");
        QCOMPARE(help({"Guide.doc"}, false),
                 "0 | none Scrivane: Unable to launch MS Word. Please open the documentation file manually from DIR.");
        // The build puts both forms of the guide beside the programs, where Help looks for them.
        QVERIFY(readFile(QStringLiteral(SCRIVANE_PROGRAM_DIR "/Scrivane User Guide.doc")).startsWith("{\\rtf1"));
        QVERIFY(
            readFile(QStringLiteral(SCRIVANE_PROGRAM_DIR "/Scrivane User Guide.html")).startsWith("<!DOCTYPE html>"));
    }
};

QTEST_APPLESS_MAIN(TestHelpDocument)
#include "tst_help_document.moc"
