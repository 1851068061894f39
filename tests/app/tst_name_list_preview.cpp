#include "../platform/test_files.h"
#include "app/nam_windows.h"
#include "form_fixture.h"
#include "platform/faulty_file_system.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QTimer>

using namespace scrivane;

namespace {

QByteArray statement(const QByteArray& body, const QByteArray& header = {})
{
    return "OFXHEADER:100\r\nDATA:OFXSGML\r\n" + header + "\r\n<OFX><BANKTRANLIST>" + body + "</BANKTRANLIST></OFX>";
}

} // namespace

class TestNameListPreview : public QObject
{
    Q_OBJECT

    FormFixture fixture_;
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<NameWindows> windows_;

    QString useStatement(const QByteArray& bytes)
    {
        const QString path = fixture_.path(QStringLiteral("statement.ofx"));
        if (!writeFile(path, bytes))
            qFatal("cannot write the statement");
        setBoxText(*form_, path);
        return path;
    }

    // Presses a preview button of the dialog; the list then shown.
    QString preview(const char* button, NameWindows* windows = nullptr)
    {
        windows = windows ? windows : windows_.get();
        click(*windows->showNameOptions(), button);
        NameListPreview* list = windows->nameList();
        if (!list || !list->isVisible())
            return QStringLiteral("<no list>");
        return control<QPlainTextEdit>(*list, "namelist")->toPlainText();
    }

private slots:
    void init()
    {
        fixture_.reset();
        form_ = std::make_unique<MainForm>(*fixture_.settings);
        windows_ = std::make_unique<NameWindows>(*fixture_.settings, form_.get(), LocaleRules::enUS());
    }
    void cleanup()
    {
        windows_.reset();
        form_.reset();
    }

    // The list as the box shows it: CR LF, and a lone CR or LF, each break a line.
    void names_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("cleaned");
        QTest::addColumn<QString>("expected");
        QTest::newRow("raw: order, repeats, entities, empty names skipped")
            << statement("<NAME>Z<NAME>A&amp;B<NAME>  <NAME>&LT;Q &quot;T&apos;&Gt;<NAME><NAME>&#38; &amp;lt;<NAME>Z")
            << false << "Z\nA&B\n<Q \"T'>\n&#38; <\nZ";
        QTest::newRow("raw: tag in any case, first in its segment only")
            << statement("<name>a<Name>b< NAME>no<NAMES>no<NAME>c") << false << "a\nb\nc";
        QTest::newRow("raw: one element per line")
            << statement("\r\n<NAME>ACME\r\n<MEMO>m\r\n<NAME>BOB\r\n") << false << "ACME\n\nBOB\n";
        QTest::newRow("raw: lone CR and LF in names") << statement("<NAME>A\rB<NAME>C\nD") << false << "A\nB\nC\nD";
        QTest::newRow("raw: no names") << statement("<MEMO>x") << false << "";
        QTest::newRow("cleaned: names cleaned away are not listed")
            << statement("<NAME>ACME STORE 1234<NAME>PETRO PETRO OIL<NAME>4411<NAME>CHECK PMT<NAME>BOB 03/15") << true
            << "Acme Store\nPetro Oil\nBob";
        QTest::newRow("cleaned: one element per line keeps the CR")
            << statement("\r\n<NAME>ACME CORP\r\n<MEMO>m\r\n<NAME>BOB SMITH\r\n") << true << "Acme Corp\n\nBob Smith\n";
        QTest::newRow("Windows-1252 header") << statement("<NAME>CAF\xC9 \x93X\x94 \x80", "CHARSET:1252\r\n") << false
                                             << QString::fromUtf8("CAFÉ “X” €");
        QTest::newRow("UTF-8 header") << statement("<NAME>CAF\xC3\x89", "ENCODING:UTF-8\r\n") << false
                                      << QString::fromUtf8("CAFÉ");
        QTest::newRow("no charset, UTF-8") << statement("<NAME>CAF\xC3\x89") << false << QString::fromUtf8("CAFÉ");
        QTest::newRow("no charset, not UTF-8") << statement("<NAME>CAF\xC9") << false << QString::fromUtf8("CAFÉ");
    }
    void names()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, cleaned);
        QFETCH(QString, expected);
        useStatement(file);
        QCOMPARE(preview(cleaned ? "previewNames" : "previewRawNames"), expected);
        QVERIFY(fixture_.messages->messages().isEmpty());
    }

    // Both previews store the options on screen first; the cleaned list follows
    // them; the statement is never written.
    void previewsUseAndSaveTheOptionsOnScreen()
    {
        const QString path = useStatement(statement("<NAME>JOHN &amp; SONS 42 XXX<NAME>ACH"));
        NamOptions* dialog = windows_->showNameOptions();
        control<QCheckBox>(*dialog, "mixedCase")->setChecked(false);
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText(QStringLiteral("xxx ACH"));

        QCOMPARE(preview("previewRawNames"), QStringLiteral("JOHN & SONS 42 XXX\nACH"));
        QCOMPARE(fixture_.stored("mixedCase"), QStringLiteral("0"));
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("xxx ACH"));
        QCOMPARE(preview("previewNames"), QStringLiteral("JOHN & SONS"));
        QCOMPARE(readFile(path), statement("<NAME>JOHN &amp; SONS 42 XXX<NAME>ACH"));
    }

    void noStatementFile_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("placeholder") << "<enter or select a file to clean>";
        QTest::newRow("empty") << "";
        QTest::newRow("missing") << "DIR/missing.ofx";
        QTest::newRow("folder") << "DIR";
        QTest::newRow("hidden") << "DIR/.hidden.ofx";
        QTest::newRow("pattern matching a file") << "DIR/*.ofx";
        QTest::newRow("one-character pattern") << "DIR/stat?ment.ofx";
        QTest::newRow("leading space") << " DIR/statement.ofx";
    }
    void noStatementFile()
    {
        QFETCH(QString, box);
        QVERIFY(writeFile(fixture_.path(QStringLiteral(".hidden.ofx")), statement("<NAME>A")));
        useStatement(statement("<NAME>A"));
        setBoxText(*form_, box.replace(QStringLiteral("DIR"), fixture_.dir->path()));
        for (const char* button : {"previewRawNames", "previewNames"}) {
            fixture_.messages->clear();
            QCOMPARE(preview(button), QStringLiteral("<no list>"));
            QCOMPARE(fixture_.messages->messages().size(), 1);
            const ShownMessage& shown = fixture_.messages->messages().first();
            QCOMPARE(shown.text,
                     QStringLiteral("No valid OFX file entered. Please select a valid file before previewing the names "
                                    "in it."));
            QCOMPARE(shown.title, QStringLiteral("Scrivane"));
            QCOMPARE(shown.icon, MessageIcon::Critical);
        }
        for (const char* key : {"omitWords", "mixedCase", "removeDates", "removeNumbers", "removeRepeat"})
            QCOMPARE(fixture_.stored(key), QStringLiteral("<absent>"));
    }

    void readNameIsTrimmedOfSpaces()
    {
        QVERIFY(writeFile(fixture_.path(QStringLiteral("statement.ofx  ")), statement("<NAME>SPACED")));
        setBoxText(*form_, useStatement(statement("<NAME>PLAIN")) + QStringLiteral("  "));
        QCOMPARE(preview("previewRawNames"), QStringLiteral("PLAIN"));
    }

    void unreadableFileListsNothingButSaves()
    {
        FaultyFileSystem files;
        files.failRead();
        NameWindows windows(*fixture_.settings, form_.get(), LocaleRules::enUS(), files);
        useStatement(statement("<NAME>ACME"));
        QCOMPARE(preview("previewRawNames", &windows), QString());
        QVERIFY(fixture_.messages->messages().isEmpty());
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("Check PMT XXX"));
    }

    // One list window for the run: each preview refills it, also after the
    // dialog that filled it closed; its Done unloads it.
    void oneListWindow()
    {
        useStatement(statement("<NAME>ACME 12<NAME>4411"));
        QCOMPARE(preview("previewRawNames"), QStringLiteral("ACME 12\n4411"));
        NameListPreview* list = windows_->nameList();
        QCOMPARE(preview("previewNames"), QStringLiteral("Acme"));
        QCOMPARE(windows_->nameList(), list);
        click(*windows_->nameOptions(), "myClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!windows_->nameOptions() && list->isVisible());
        QCOMPARE(preview("previewRawNames"), QStringLiteral("ACME 12\n4411"));
        QCOMPARE(windows_->nameList(), list);
        click(*list, "myClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!windows_->nameList());
    }

    // With the main window gone, a preview takes the path it last stored.
    void afterTheMainWindowClosed()
    {
        const QString path = useStatement(statement("<NAME>STORED"));
        windows_->showNameOptions();
        form_.reset();
        QCOMPARE(preview("previewRawNames"), QStringLiteral("<no list>"));
        fixture_.store("fileName", path);
        QCOMPARE(preview("previewRawNames"), QStringLiteral("STORED"));
    }

    // Closing the main window leaves the program running while the dialog or
    // the list is open; it ends with the last of them.
    void programEndsWithTheLastWindow()
    {
        useStatement(statement("<NAME>ACME"));
        auto* form = form_.release();
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
        preview("previewRawNames");
        QPointer<NamOptions> dialog = windows_->nameOptions();
        QPointer<NameListPreview> list = windows_->nameList();

        // Timers that end with this test, whatever happens.
        QObject scope;
        QStringList steps;
        QTimer::singleShot(0, &scope, [form] { form->close(); });
        QTimer::singleShot(50, &scope, [&] {
            steps << "ran on after the main window";
            click(*dialog, "myClose");
        });
        QTimer::singleShot(100, &scope, [&] {
            steps << "ran on after the dialog";
            list->close();
        });
        QTimer::singleShot(5000, &scope, [] { QCoreApplication::exit(7); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(steps.size(), 2);
        QVERIFY(!dialog && !list);
    }
};

QTEST_MAIN(TestNameListPreview)
#include "tst_name_list_preview.moc"
