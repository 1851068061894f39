#include "../platform/test_files.h"
#include "app/nam_windows.h"
#include "form_fixture.h"
#include "platform/faulty_file_system.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace scrivane;

namespace {

const char* const optionKeys[] = {"omitWords", "mixedCase", "removeDates", "removeNumbers", "removeRepeat"};

const QString noFileMessage
    = QStringLiteral("No valid OFX file entered. Please select a valid file before previewing the names in it.");

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString listed(const NameListPreview& window)
{
    return control<QPlainTextEdit>(window, "namelist")->toPlainText();
}

// A statement of the SGML form around the given transaction lines.
QByteArray statement(const QByteArray& header, const QByteArray& transactions)
{
    return "OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n" + header + "\r\n<OFX><BANKMSGSRSV1><STMTRS><BANKTRANLIST>"
        + transactions + "</BANKTRANLIST></STMTRS></BANKMSGSRSV1></OFX>";
}

// The offscreen platform of the tests can't raise windows and says so on every
// show; the windows' order is no part of what is tested.
QtMessageHandler passOn = nullptr;
void quietAboutRaise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message != QLatin1String("This plugin does not support raise()"))
        passOn(type, context, message);
}

} // namespace

class TestNameListPreview : public QObject
{
    Q_OBJECT

    FormFixture fixture_;
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<NameWindows> windows_;

    // The statement file, named in the main window's file box.
    QString useStatement(const QByteArray& bytes)
    {
        QString path = fixture_.path(QStringLiteral("statement.ofx"));
        if (!writeFile(path, bytes))
            qFatal("cannot write the statement");
        setBoxText(*form_, path);
        return path;
    }

    // Presses a preview button and returns the list shown.
    QString preview(const char* button)
    {
        NamOptions* dialog = windows_->showNameOptions();
        click(*dialog, button);
        NameListPreview* list = windows_->nameList();
        if (!list || !list->isVisible())
            return QStringLiteral("<no list window>");
        return listed(*list);
    }

private slots:
    void initTestCase() { passOn = qInstallMessageHandler(quietAboutRaise); }
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

    void windowLayout()
    {
        useStatement(statement("", "<NAME>ACME"));
        preview("previewRawNames");
        NameListPreview* window = windows_->nameList();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Payee Names List"));
        QCOMPARE(window->minimumSize(), QSize(333, 511));
        QCOMPARE(window->maximumSize(), QSize(333, 511));
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(!window->parentWidget());
        QVERIFY(!(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        auto* list = control<QPlainTextEdit>(*window, "namelist");
        QCOMPARE(list->geometry(), QRect(20, 20, 289, 429));
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        auto* done = control<QPushButton>(*window, "myClose");
        QCOMPARE(done->geometry(), QRect(224, 468, 85, 26));
        QCOMPARE(done->text(), QStringLiteral("Done"));
    }

    // The list as the box shows it: each CR LF, and each lone CR or LF, is one
    // line break.
    void names_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QByteArray>("transactions");
        QTest::addColumn<bool>("cleaned");
        QTest::addColumn<QString>("expected");

        QTest::newRow("raw, in file order, repeats kept")
            << QByteArray() << QByteArray("<NAME>ZED<NAME>ACME STORE 1234<NAME>ZED") << false
            << "ZED\nACME STORE 1234\nZED";
        QTest::newRow("raw, entities decoded")
            << QByteArray() << QByteArray("<NAME>A&amp;B<NAME>&LT;x&Gt;<NAME>Q &quot;T&apos;<NAME>&#38; &amp;lt;")
            << false << "A&B\n<x>\nQ \"T'\n&#38; <";
        QTest::newRow("raw, empty names skipped")
            << QByteArray() << QByteArray("<NAME><NAME>   <NAME>  ONE  <NAME> <MEMO>x") << false << "ONE";
        QTest::newRow("raw, tag in any case at the start only")
            << QByteArray() << QByteArray("<name>lower<Name>Mixed< NAME>no<NAMES>no<PAYEE><NAME>yes") << false
            << "lower\nMixed\nyes";
        QTest::newRow("raw, one element per line")
            << QByteArray() << QByteArray("\r\n<NAME>ACME\r\n<MEMO>m\r\n<NAME>BOB\r\n") << false << "ACME\n\nBOB\n";
        QTest::newRow("raw, lone carriage return inside a name")
            << QByteArray() << QByteArray("<NAME>A\rB<NAME>C\nD") << false << "A\nB\nC\nD";
        QTest::newRow("raw, no names") << QByteArray() << QByteArray("<MEMO>nothing here") << false << "";
        QTest::newRow("cleaned, by the options on screen")
            << QByteArray()
            << QByteArray("<NAME>ACME STORE 1234<NAME>PETRO PETRO OIL<NAME>4411<NAME>CHECK PMT XXX<NAME>BOB 03/15")
            << true << "Acme Store\nPetro Oil\nBob";
        QTest::newRow("cleaned, one element per line keeps the carriage return")
            << QByteArray() << QByteArray("\r\n<NAME>ACME CORP\r\n<MEMO>m\r\n<NAME>BOB SMITH\r\n") << true
            << "Acme Corp\n\nBob Smith\n";
        QTest::newRow("Windows-1252 named by the header")
            << QByteArray("CHARSET:1252\r\n") << QByteArray("<NAME>CAF\xC9 \x93X\x94 \x80") << false
            << QString::fromUtf8("CAFÉ “X” €");
        QTest::newRow("UTF-8 named by the header")
            << QByteArray("ENCODING:UTF-8\r\nCHARSET:NONE\r\n") << QByteArray("<NAME>CAF\xC3\x89") << false
            << QString::fromUtf8("CAFÉ");
        QTest::newRow("no charset, valid UTF-8")
            << QByteArray() << QByteArray("<NAME>CAF\xC3\x89") << false << QString::fromUtf8("CAFÉ");
        QTest::newRow("no charset, not UTF-8")
            << QByteArray() << QByteArray("<NAME>CAF\xC9") << false << QString::fromUtf8("CAFÉ");
    }
    void names()
    {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, transactions);
        QFETCH(bool, cleaned);
        QFETCH(QString, expected);
        useStatement(statement(header, transactions));
        QCOMPARE(preview(cleaned ? "previewNames" : "previewRawNames"), expected);
        QVERIFY(fixture_.messages->messages().isEmpty());
    }

    // Both previews make the options on screen the stored ones first, and the
    // cleaned list follows them.
    void previewsSaveTheOptionsOnScreen()
    {
        const QString path = useStatement(statement("", "<NAME>JOHN &amp; SONS 42 XXX<NAME>ACH"));
        const QByteArray before = readFile(path);
        NamOptions* dialog = windows_->showNameOptions();
        control<QCheckBox>(*dialog, "mixedCase")->setChecked(false);
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText(QStringLiteral("xxx\nACH"));

        QCOMPARE(preview("previewRawNames"), QStringLiteral("JOHN & SONS 42 XXX\nACH"));
        QCOMPARE(fixture_.stored("mixedCase"), QStringLiteral("0"));
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("xxx\r\nACH"));
        QCOMPARE(fixture_.stored("removeDates"), QStringLiteral("1"));

        // "xxx" touches a line break and so never matches; "ACH" does not either.
        QCOMPARE(preview("previewNames"), QStringLiteral("JOHN & SONS XXX\nACH"));
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText(QStringLiteral("xxx ACH"));
        QCOMPARE(preview("previewNames"), QStringLiteral("JOHN & SONS"));
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("xxx ACH"));
        QCOMPARE(readFile(path), before);
    }

    void noStatementFile_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("placeholder") << "<enter or select a file to clean>";
        QTest::newRow("empty") << "";
        QTest::newRow("missing") << "missing.ofx";
        QTest::newRow("folder") << "folder";
        QTest::newRow("hidden") << ".hidden.ofx";
        QTest::newRow("pattern that matches a file") << "*.ofx";
        QTest::newRow("single-character pattern") << "stat?ment.ofx";
        QTest::newRow("leading space") << " statement.ofx";
    }
    void noStatementFile()
    {
        QFETCH(QString, box);
        QVERIFY(writeFile(fixture_.path(QStringLiteral("statement.ofx")), statement("", "<NAME>ACME")));
        QVERIFY(writeFile(fixture_.path(QStringLiteral(".hidden.ofx")), statement("", "<NAME>ACME")));
        QVERIFY(QDir(fixture_.dir->path()).mkdir(QStringLiteral("folder")));
        // Relative entries name files of the fixture's folder.
        setBoxText(*form_, box.startsWith(u'<') || box.isEmpty() ? box : fixture_.dir->path() + u'/' + box);
        if (box.startsWith(u' '))
            setBoxText(*form_, u' ' + fixture_.path(QStringLiteral("statement.ofx")));

        for (const char* button : {"previewRawNames", "previewNames"}) {
            QCOMPARE(preview(button), QStringLiteral("<no list window>"));
            QCOMPARE(fixture_.messages->messages().size(), 1);
            const ShownMessage shown = fixture_.messages->messages().first();
            QCOMPARE(shown.text, noFileMessage);
            QCOMPARE(shown.title, QStringLiteral("Scrivane"));
            QCOMPARE(shown.icon, MessageIcon::Critical);
            fixture_.messages->clear();
        }
        for (const char* key : optionKeys)
            QCOMPARE(fixture_.stored(key), QStringLiteral("<absent>"));
    }

    // Spaces around a path the check accepts are no part of the name read.
    void trailingSpacesAreNotRead()
    {
        QVERIFY(writeFile(fixture_.path(QStringLiteral("statement.ofx")), statement("", "<NAME>PLAIN")));
        QVERIFY(writeFile(fixture_.path(QStringLiteral("statement.ofx  ")), statement("", "<NAME>SPACED")));
        setBoxText(*form_, fixture_.path(QStringLiteral("statement.ofx  ")));
        QCOMPARE(preview("previewRawNames"), QStringLiteral("PLAIN"));
    }

    void unreadableFileListsNothingButSaves()
    {
        FaultyFileSystem files;
        files.failRead();
        NameWindows windows(*fixture_.settings, form_.get(), LocaleRules::enUS(), files);
        useStatement(statement("", "<NAME>ACME"));
        NamOptions* dialog = windows.showNameOptions();
        click(*dialog, "previewRawNames");
        QVERIFY(windows.nameList() && windows.nameList()->isVisible());
        QCOMPARE(listed(*windows.nameList()), QString());
        QVERIFY(fixture_.messages->messages().isEmpty());
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("Check PMT XXX"));
    }

    // One list window: each preview refills it, Done unloads it, the next preview
    // makes it afresh.
    void oneListWindow()
    {
        useStatement(statement("", "<NAME>ACME 12<NAME>4411"));
        QCOMPARE(preview("previewRawNames"), QStringLiteral("ACME 12\n4411"));
        NameListPreview* first = windows_->nameList();
        QCOMPARE(preview("previewNames"), QStringLiteral("Acme"));
        QCOMPARE(windows_->nameList(), first);

        int windowsShown = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            windowsShown += widget->objectName() == QLatin1String("nameListPreview") ? 1 : 0;
        QCOMPARE(windowsShown, 1);

        click(*first, "myClose");
        settle();
        QVERIFY(!windows_->nameList());
        QCOMPARE(preview("previewRawNames"), QStringLiteral("ACME 12\n4411"));
    }

    // The list window belongs to the run, not to the dialog that filled it.
    void listOutlivesTheDialog()
    {
        useStatement(statement("", "<NAME>ACME"));
        preview("previewRawNames");
        NameListPreview* list = windows_->nameList();
        click(*windows_->nameOptions(), "myClose");
        settle();
        QVERIFY(!windows_->nameOptions());
        QCOMPARE(windows_->nameList(), list);
        QVERIFY(list->isVisible());

        useStatement(statement("", "<NAME>BOB"));
        QCOMPARE(preview("previewRawNames"), QStringLiteral("BOB"));
        QCOMPARE(windows_->nameList(), list);
    }

    // With the main window gone, a preview takes the path it last stored.
    void afterTheMainWindowClosed_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored path") << true << "STORED";
        QTest::newRow("nothing stored") << false << "<no list window>";
    }
    void afterTheMainWindowClosed()
    {
        QFETCH(bool, stored);
        QFETCH(QString, expected);
        const QString path = useStatement(statement("", "<NAME>STORED"));
        if (stored)
            fixture_.store("fileName", path);
        windows_->showNameOptions();
        form_.reset();
        QCOMPARE(preview("previewRawNames"), expected);
        QCOMPARE(fixture_.messages->messages().size(), stored ? 0 : 1);
    }

    void programEndsWithTheListWindow()
    {
        useStatement(statement("", "<NAME>ACME"));
        form_->show();
        preview("previewRawNames");
        NameListPreview* list = windows_->nameList();
        NamOptions* dialog = windows_->nameOptions();

        bool ranOn = false;
        QTimer::singleShot(0, [this, dialog] {
            form_->close();
            dialog->close();
        });
        QTimer::singleShot(50, list, [&ranOn, list] {
            ranOn = list->isVisible();
            list->close();
        });
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(7); });
        failSafe.start(5000);

        QCOMPARE(QApplication::exec(), 0);
        QVERIFY2(ranOn, "the program ended while the names list was open");
    }
};

QTEST_MAIN(TestNameListPreview)
#include "tst_name_list_preview.moc"
