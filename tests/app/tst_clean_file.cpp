#include "../platform/test_files.h"
#include "form_fixture.h"
#include "platform/faulty_file_system.h"

#include <QDir>
#include <QFileInfo>
#include <QRadioButton>

using namespace scrivane;

namespace {

const QString missingMessage = QStringLiteral("File does not appear to exist. Please try again.");

QString note(const QString& word)
{
    return "\r\n\r\nNOTE: When importing your OFX file, " + word
        + " will use a default Bank ID (BID) to connect & identify the Financial Institution, and you may see a "
          "Financial Institution that is different than your own. This may seem unusual, but it is harmless and "
          "you can still import the OFX file.\r\n\r\nClick the Help button for instructions on importing and "
          "processing your OFX file using "
        + word + ".";
}

QStringList entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// Turns every option button off, then the named one on (none for an empty name).
void choose(const QWidget& form, const QString& button)
{
    for (const char* name : {"quickenCompat", "quickbooksCompat", "noCompat"}) {
        auto* option = control<QRadioButton>(form, name);
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    if (!button.isEmpty())
        control<QRadioButton>(form, qPrintable(button))->setChecked(true);
}

} // namespace

class TestCleanFile : public QObject
{
    Q_OBJECT

    FormFixture fixture_;

    void checkOneMessage(const QString& text, MessageIcon icon)
    {
        QCOMPARE(fixture_.messages->messages().size(), 1);
        const ShownMessage& shown = fixture_.messages->messages().first();
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.icon, icon);
        QCOMPARE(shown.title, QStringLiteral("Scrivane"));
    }

private slots:
    void init() { fixture_.reset(); }

    void cleansForEachTarget_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("identifier");
        QTest::addColumn<QString>("message");
        const QString quickBooks = "File cleaned! You may now import it into QuickBooks.\r\n\r\n"
                                   "Import from the QuickBooks menu by picking File | Utilities | Import | Web "
                                   "Connect File."
            + note("QuickBooks");
        const QString quicken = "File cleaned! You may now import it into Quicken.\r\n\r\n" + note("Quicken");
        const QString other = "File cleaned! You may now import it into your Other financial application.\r\n\r\n";
        auto add
            = [](const char* row,
                 const char* button,
                 const char* in,
                 const char* out,
                 const char* id,
                 const QString& message) { QTest::newRow(row) << button << in << out << QByteArray(id) << message; };
        add("QuickBooks", "quickbooksCompat", "statement.ofx", "statement.QBO", "<INTU.BID>5885</SONRS>", quickBooks);
        add("Quicken", "quickenCompat", "statement.ofx", "statement.QFX", "<INTU.BID>3000</SONRS>", quicken);
        add("Other", "noCompat", "statement.ofx", "statement.ofx", "", other);
        add("no button on", "", "statement.ofx", "statement.ofx", "", other);
        add("QuickBooks, .qbo in place",
            "quickbooksCompat",
            "Statement.Qbo",
            "Statement.Qbo",
            "<INTU.BID>5885",
            quickBooks);
        add("Quicken, no extension", "quickenCompat", "report", "re.QFX", "<INTU.BID>3000</SONRS>", quicken);
    }
    void cleansForEachTarget()
    {
        QFETCH(QString, button);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QByteArray, identifier);
        QFETCH(QString, message);
        QVERIFY(writeFile(fixture_.path(input), bankStatement));
        MainForm form(*fixture_.settings);
        choose(form, button);
        // Spaces around the path are not part of the name.
        setBoxText(form, "  " + fixture_.path(input) + " ");
        click(form, "cleanFile");

        checkOneMessage(message, MessageIcon::Information);
        QCOMPARE(boxText(form), fixture_.path(output));
        QCOMPARE(fixture_.stored("fileName"), fixture_.path(output));
        QStringList expected {output, "settings.ini"};
        expected.sort();
        QCOMPARE(entries(fixture_.dir->path()), expected);
        QByteArray written = readFile(fixture_.path(output));
        QVERIFY2(written.contains("<NAME>Acme Store<MEMO>groceries\n"), written.constData());
        if (identifier.isEmpty())
            QVERIFY(!written.contains("INTU.BID"));
        else
            QVERIFY2(written.contains(identifier), written.constData());
    }

    void notAFileChangesNothing_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("missing") << "nothere.ofx";
        QTest::newRow("folder") << "sub";
        QTest::newRow("hidden") << ".hidden.ofx";
        QTest::newRow("star") << "*.ofx";
    }
    void notAFileChangesNothing()
    {
        QFETCH(QString, box);
        QVERIFY(writeFile(fixture_.path("s.ofx"), bankStatement));
        QVERIFY(writeFile(fixture_.path(".hidden.ofx"), bankStatement));
        QVERIFY(QDir(fixture_.dir->path()).mkdir("sub"));
        const QString text = fixture_.path(box);
        MainForm form(*fixture_.settings);
        choose(form, "quickenCompat");
        setBoxText(form, text);
        click(form, "cleanFile");

        checkOneMessage(missingMessage, MessageIcon::Critical);
        QCOMPARE(boxText(form), text);
        QCOMPARE(entries(fixture_.dir->path()), (QStringList {".hidden.ofx", "s.ofx", "settings.ini", "sub"}));
        QCOMPARE(readFile(fixture_.path("s.ofx")), bankStatement);
        QCOMPARE(readFile(fixture_.path(".hidden.ofx")), bankStatement);
        // The settings are saved all the same.
        QCOMPARE(fixture_.stored("fileName"), text);
        QCOMPARE(fixture_.stored("quickenCompat"), QStringLiteral("True"));
    }

    // After a failure the statement is as it was, the box keeps its path, the
    // user is told which file and why, and the settings are saved.
    void failureIsToldAndKeepsTheStatement_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("named"); // file names the message must hold
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("left");
        auto add = [](const char* row,
                      const char* fault,
                      const char* button,
                      QStringList named,
                      const char* reason,
                      QStringList left) { QTest::newRow(row) << fault << button << named << reason << left; };
        add("unreadable input", "read", "quickenCompat", {"s.ofx"}, "Permission denied", {"s.ofx"});
        add("folder at the output", "folder", "quickbooksCompat", {"s.QBO", "s.ofx"}, "", {"s.QBO", "s.ofx"});
        add("write fails part way", "write", "quickenCompat", {"s.QFX", "s.ofx"}, "No space left on device", {"s.ofx"});
        add("commit fails, Other", "commit", "noCompat", {"s.ofx"}, "No space left on device", {"s.ofx"});
        add("commit fails", "commit", "quickbooksCompat", {"s.QBO", "s.ofx"}, "Disk quota exceeded", {"s.ofx"});
        add("delete fails",
            "delete",
            "quickenCompat",
            {"s.QFX", "s.ofx"},
            "Operation not permitted",
            {"s.QFX", "s.ofx"});
    }
    void failureIsToldAndKeepsTheStatement()
    {
        QFETCH(QString, fault);
        QFETCH(QString, button);
        QFETCH(QStringList, named);
        QFETCH(QString, reason);
        QFETCH(QStringList, left);
        const QString input = fixture_.path("s.ofx");
        QVERIFY(writeFile(input, bankStatement));
        FaultyFileSystem files;
        if (fault == "read")
            files.failRead(reason);
        else if (fault == "write")
            files.failWriteAfter(50, reason);
        else if (fault == "commit")
            files.failCommit(reason);
        else if (fault == "delete")
            files.failRemove(reason);
        else
            QVERIFY(QDir(fixture_.dir->path()).mkdir("s.QBO"));

        MainForm form(*fixture_.settings, files);
        choose(form, button);
        setBoxText(form, input);
        click(form, "cleanFile");

        QCOMPARE(fixture_.messages->messages().size(), 1);
        const ShownMessage& shown = fixture_.messages->messages().first();
        QCOMPARE(shown.icon, MessageIcon::Critical);
        QCOMPARE(shown.title, QStringLiteral("Scrivane"));
        for (const QString& name : named)
            QVERIFY2(shown.text.contains(fixture_.path(name)), qPrintable(shown.text));
        if (reason.isEmpty()) // the system's own words, whatever they are
            QVERIFY2(shown.text.contains(":\r\n") && !shown.text.contains(":\r\n\r\n"), qPrintable(shown.text));
        else
            QVERIFY2(shown.text.contains(reason), qPrintable(shown.text));

        QCOMPARE(readFile(input), bankStatement);
        left << "settings.ini";
        left.sort();
        QCOMPARE(entries(fixture_.dir->path()), left);
        QCOMPARE(boxText(form), input);
        QCOMPARE(fixture_.stored("fileName"), input);
        QCOMPARE(fixture_.stored(qPrintable(button)), QStringLiteral("True"));
    }

    // The options read at the run are the ones stored now, not at start-up.
    void cleaningFollowsTheStoredNameOptions()
    {
        QVERIFY(writeFile(fixture_.path("s.ofx"), bankStatement));
        MainForm form(*fixture_.settings);
        fixture_.store("mixedCase", "0");
        fixture_.store("removeNumbers", "0");
        choose(form, "noCompat");
        setBoxText(form, fixture_.path("s.ofx"));
        click(form, "cleanFile");
        QByteArray written = readFile(fixture_.path("s.ofx"));
        QVERIFY2(written.contains("<NAME>ACME STORE 1234<MEMO>"), written.constData());
        QVERIFY2(written.contains("<NAME>4411<MEMO>fee"), written.constData());
    }
};

QTEST_MAIN(TestCleanFile)
#include "tst_clean_file.moc"
