#include "app/window_caption.h"
#include "form_fixture.h"
#include "statement/guidance.h"
#include "support/faulty_file_system.h"
#include "support/platform_facts.h"
#include "support/samples.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace scrivane;

// What stands in the way of a clean once the file was found.
enum class Fault { UnreadableInput, FolderAtOutput, DeleteFails };
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(scrivane::Target)

// What Clean File left behind, with DIR for the test's folder.
struct AfterClean
{
    QString box; // the file box's text
    QString storedName; // the stored file name
    QString message; // the one message box, as FormTest::shown() gives it
    QString entries; // the folder's entries, by name
};

class TestMainForm : public FormTest
{
    Q_OBJECT

    // Select File, left unanswered and so cancelled: what the dialog was asked to show.
    FileDialogRequest cancelledDialog(const QWidget& form)
    {
        const qsizetype before = prompts.requests().size();
        click(form, "Select");
        return prompts.requests().value(before, {"", "", -1, "<no dialog>", "<no dialog>"});
    }

    // Clean File with only that button on.
    AfterClean clean(const QString& button, const QString& text, const FileSystem& files = FileSystem::system())
    {
        MainForm form(*settings, prompts, files);
        for (auto* option : form.findChildren<QRadioButton*>()) {
            option->setAutoExclusive(false);
            option->setChecked(option->objectName() == button);
        }
        box(form)->setText(QString(text).replace("DIR", dir->path()));
        prompts.clear();
        click(form, "cleanFile");
        const QString names = QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(' ');
        auto inDir = [this](QString shownText) { return shownText.replace(dir->path(), "DIR"); };
        return {inDir(box(form)->text()), inDir(stored("fileName")), inDir(shown()), inDir(names)};
    }

private slots:
    void init() { reset(); }

    // At the first run. Pixels are the layout's twips divided by 15; option buttons sit in the frame.
    void controls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        auto add = [](const char* name, const char* text, QRect geometry) { QTest::newRow(name) << text << geometry; };
        add("Label1", "OFX file to clean:", {20, 12, 157, 17});
        add("fileName", "<enter or select a file to clean>", {20, 36, 453, 25});
        add("Select", "Select File", {484, 36, 107, 25});
        add("Frame1", "Make this file compatable with", {24, 76, 261, 89});
        add("quickenCompat", "Quicken           - make a .QFX file", {12, 20, 241, 21});
        add("quickbooksCompat", "QuickBooks   - make a .QBO file", {12, 40, 241, 21});
        add("noCompat", "Other", {12, 60, 173, 21});
        add("nameOptions", "Settings", {484, 88, 107, 25});
        add("Label2", "Clean payee names:", {336, 92, 137, 17});
        add("myHelp", "Help", {484, 124, 107, 25});
        add("cleanFile", "Clean File", {484, 176, 107, 25});
        add("myClose", "Done", {484, 212, 107, 25});
    }
    void controls()
    {
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        const QString name = QTest::currentDataTag();
        MainForm form(*settings, prompts);
        QWidget* widget = control(form, QTest::currentDataTag());
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->parentWidget()->objectName(), name.endsWith("Compat") ? "Frame1" : "mainForm");
        QCOMPARE(widget->property(name == "Frame1" ? "title" : "text").toString(), text);
        QCOMPARE(widget->font().bold(), name == "cleanFile");
    }

    // What a screen reader is told: a window, the box named by its label, and what a bare-word button does.
    void accessibleNames()
    {
        MainForm form(*settings, prompts);
        auto text = [&form](const char* name, QAccessible::Text kind) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(name ? control(form, name) : &form);
            return face ? face->text(kind) : QStringLiteral("<none>");
        };
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Window);
        QCOMPARE(text(nullptr, QAccessible::Name), QStringLiteral("Scrivane - 1.03"));
        QCOMPARE(text("fileName", QAccessible::Name), QStringLiteral("OFX file to clean:"));
        QCOMPARE(control<QLabel>(form, "Label1")->buddy(), box(form));
        QCOMPARE(text("nameOptions", QAccessible::Description), QStringLiteral("Name cleaning options"));
        QCOMPARE(text("myHelp", QAccessible::Description), QStringLiteral("Open the user guide"));
        QCOMPARE(text("cleanFile", QAccessible::Name), QStringLiteral("Clean File"));
    }

    // Return and Enter click the button that has the focus, each button of the window.
    void enterClicksTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        for (const char* name : {"Select", "nameOptions", "myHelp", "cleanFile", "myClose"}) {
            QTest::addRow("%s, Return", name) << int(Qt::Key_Return);
            QTest::addRow("%s, Enter", name) << int(Qt::Key_Enter);
        }
    }
    void enterClicksTheFocusedButton()
    {
        QFETCH(int, key);
        const QString name = QString(QTest::currentDataTag()).section(',', 0, 0);
        MainForm form(*settings, prompts);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* button = control<QPushButton>(form, qPrintable(name));
        button->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), button);
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keyClick(button, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(form.isVisible(), name != "myClose");
    }

    // Tab enters the option group on the button that is on, and the next Tab leaves the group; Shift+Tab the same.
    void tabLandsOnTheOptionThatIsOn_data()
    {
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("landing");
        // QuickBooks is neither first nor last in the group, so landing on an end would not pass for it.
        QTest::newRow("QuickBooks") << "quickbooksCompat"
                                    << "quickbooksCompat";
        QTest::newRow("none on") << ""
                                 << "quickenCompat";
    }
    void tabLandsOnTheOptionThatIsOn()
    {
        QFETCH(QString, on);
        QFETCH(QString, landing);
        MainForm form(*settings, prompts);
        for (auto* option : form.findChildren<QRadioButton*>()) {
            option->setAutoExclusive(false);
            option->setChecked(option->objectName() == on);
            option->setAutoExclusive(true);
        }
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList path;
        control(form, "Select")->setFocus();
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            path << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(path, (QStringList {landing, "myClose", landing, "Select"}));
    }

    // The caption; a first run, where a cancelled dialog keeps what was typed, the close box stores nothing, Done all.
    void firstRunThenClosing()
    {
        QCOMPARE(mainWindowCaption(1, 0), QStringLiteral("Scrivane - 1.00"));
        QCOMPARE(mainWindowCaption(1, 7), QStringLiteral("Scrivane - 1.07"));
        QCOMPARE(mainWindowCaption(1, 12), QStringLiteral("Scrivane - 1.12"));
        QCOMPARE(mainWindowCaption(1, 123), QStringLiteral("Scrivane - 1.23"));
        QCOMPARE(mainWindowCaption(10, 3), QStringLiteral("Scrivane - 10.03"));
        MainForm form(*settings, prompts);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Scrivane - 1.03"));
        QCOMPARE(form.focusWidget(), control(form, "cleanFile"));
        QVERIFY(control<QRadioButton>(form, "noCompat")->isChecked());
        control<QRadioButton>(form, "quickbooksCompat")->click();
        box(form)->setText("/typed/path.ofx");
        const FileDialogRequest request = cancelledDialog(form);
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(request.initialFile, QString());
        QCOMPARE(box(form)->text(), QStringLiteral("/typed/path.ofx"));
        QVERIFY(form.close());
        QVERIFY(!QFile::exists(settings->fileName()));

        click(MainForm(*settings, prompts), "myClose");
        QStringList texts;
        for (const char* key : {"quickbooksCompat", "quickenCompat", "noCompat", "fileName", "fileTypeSelected"})
            texts << stored(key);
        QCOMPARE(texts, (QStringList {"False", "False", "True", "<enter or select a file to clean>", "1"}));
    }

    // Read QuickBooks, Quicken, Other in turn; the dialog starts on the stored path only while it names a file.
    void restoresTheStore_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("on");
        QTest::newRow("QuickBooks, file") << QStringList {"s.ofx", "True", "False", "False"} << "quickbooksCompat";
        QTest::newRow("the later true wins") << QStringList {"gone.ofx", "True", "True", "False"} << "quickenCompat";
        QTest::newRow("all false: none on") << QStringList {"s.ofx", "False", "False", "False"} << "";
        QTest::newRow("Other absent: on") << QStringList {"gone.ofx", "True"} << "noCompat";
    }
    void restoresTheStore()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, on);
        const char* keys[] = {"fileName", "quickbooksCompat", "quickenCompat", "noCompat"};
        for (int i = 0; i < texts.size(); ++i)
            store(keys[i], i == 0 ? path(texts[i]) : texts[i]);
        const MainForm form(*settings, prompts);
        QStringList checked;
        for (auto* option : form.findChildren<QRadioButton*>())
            checked << (option->isChecked() ? option->objectName() : QString());
        QCOMPARE(checked.join(QString()), on);
        QCOMPARE(cancelledDialog(form).initialFile, texts[0] == "s.ofx" ? path("s.ofx") : QString());
    }

    // Select File opens on the stored file; once it is gone, in its folder; once that is gone too, in Downloads. A
    // file chosen in this run and gone since counts the same way.
    void dialogStartsInTheFilesFolder_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("opens");
        QTest::newRow("file there") << "DIR/s.ofx" << QStringList {"DIR/s.ofx", "DIR"};
        QTest::newRow("file gone") << "DIR/s.QFX" << QStringList {"", "DIR"};
        QTest::newRow("folder gone") << "DIR/gone/s.QFX" << QStringList {"", "DOWNLOADS"};
        QTest::newRow("placeholder") << MainForm::placeholder << QStringList {"", "DOWNLOADS"};
        QTest::newRow("relative") << "gone/s.ofx" << QStringList {"", "DOWNLOADS"};
    }
    void dialogStartsInTheFilesFolder()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, opens);
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        const auto restore = qScopeGuard([&configHome] { qputenv("XDG_CONFIG_HOME", configHome); });
        qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
        QVERIFY(writeFile(path("user-dirs.dirs"), "XDG_DOWNLOAD_DIR=\"" + path("downloads").toUtf8() + "\"\n"));
        QVERIFY(QDir(dir->path()).mkdir("downloads") && QDir(dir->path()).mkdir("picked"));
        store("fileName", stored.replace("DIR", dir->path()));
#ifdef Q_OS_WIN
        // The shell gives Windows its Downloads folder, which no test may move.
        const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        QVERIFY2(QFileInfo(downloads).isDir(), qPrintable(downloads));
#else
        const QString downloads = path("downloads");
#endif
        opens.replaceInStrings("DOWNLOADS", downloads).replaceInStrings("DIR", dir->path());
        MainForm form(*settings, prompts);
        const FileDialogRequest request = cancelledDialog(form);
        QCOMPARE(QStringList({request.initialFile, request.folder}), opens);

        QVERIFY(writeFile(path("picked/p.ofx"), bankStatement));
        prompts.choose(path("picked/p.ofx"), 2);
        click(form, "Select");
        QVERIFY(QFile::remove(path("picked/p.ofx")));
        QCOMPARE(cancelledDialog(form).folder, path("picked"));
    }

    // The words of each target's message are tst_guidance's; here the form must show the one for its target.
    void cleansForEachTarget_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("identifier");
        QTest::addColumn<Target>("target");
        QTest::newRow("QuickBooks") << "quickbooksCompat" << QString("s.QBO") << QByteArray("<INTU.BID>5885")
                                    << Target::QuickBooks;
        QTest::newRow("Quicken") << "quickenCompat" << QString("s.QFX") << QByteArray("<INTU.BID>3000")
                                 << Target::Quicken;
        QTest::newRow("Other") << "noCompat" << QString("s.ofx") << QByteArray() << Target::Other;
        QTest::newRow("no button on") << "" << QString("s.ofx") << QByteArray() << Target::Other;
    }
    void cleansForEachTarget()
    {
        QFETCH(QString, button);
        QFETCH(QString, output);
        QFETCH(QByteArray, identifier);
        QFETCH(Target, target);
        // Where no trash takes the statement that the cleaned one replaces under its name, the message says so.
        const QString noTrash = "\r\n\r\nNo trash could take the statement as it was, so the cleaned file replaced it.";
        const QString message = "information: " + QString::fromStdString(cleanedMessage(target))
            + (output == "s.ofx" && !originalGoesToTheTrash() ? noTrash : QString());
        const AfterClean after = clean(button, "  DIR/s.ofx "); // the spaces are no part of the name
        QCOMPARE(after.box, "DIR/" + output);
        QCOMPARE(after.storedName, "DIR/" + output);
        QCOMPARE(after.message, message);
        QCOMPARE(prompts.messages().front().details, QString()); // nothing found, nothing more to show
        QCOMPARE(after.entries, "Korvel Scrivane.ini " + output);
        // The statement as it came waits in the trash, also where the cleaned one took its name (on Windows in the
        // Recycle Bin, out of sight).
        if (!trashIsTheRecycleBin)
            QCOMPARE(readFile(home->filePath("data/Trash/files/s.ofx")), bankStatement);
        QByteArray cleaned = QByteArray(bankStatement).replace("<NAME>ACME STORE 1234\n", "<NAME>Acme Store");
        QCOMPARE(readFile(path(output)),
                 cleaned.replace("<NAME>4411\n", "").replace("</SONRS>", identifier + "</SONRS>"));
    }

    // What is no statement is refused before anything is written or moved, in words that say what it looks like.
    void refusesWhatIsNoStatement_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("looks");
        QTest::newRow("pdf") << QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n") << "it looks like a PDF document";
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "it looks like an image";
        QTest::newRow("zip") << QByteArray("PK\x03\x04\x14\0\0\0s.ofx", 13) << "it looks like a zip archive";
        QTest::newRow("empty") << QByteArray() << "it is empty";
        QTest::newRow("text") << QByteArray("Date,Amount\n2024-01-02,-12.50\n")
                              << "it looks like a text without an <OFX> tag";
        QTest::newRow("fuzzed") << QByteArray(":OFXHEADER:1\0SECURITY:NONE\n<OFXSIGNONMSGSRSV1>\n</OFX:", 50)
                                << "it looks like neither an OFX statement nor a text";
        // libofx's own crash inputs may only be read where the corpus is, never copied into tests/data.
        if (samples::haveCorpus()) {
            const QString libofx = samples::corpusDir() + "/real/libofx__";
            QTest::newRow("libofx overflow") << readFile(libofx + "heap-buffer-overflow-2.ofx")
                                             << "it looks like neither an OFX statement nor a text";
            QTest::newRow("libofx OFC") << readFile(libofx + "use-after-free.ofx")
                                        << "it looks like an OFC file, the format that came before OFX";
        }
    }
    void refusesWhatIsNoStatement()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, looks);
        QVERIFY(writeFile(path("s.ofx"), bytes));
        const AfterClean after = clean("quickenCompat", "DIR/s.ofx");
        QCOMPARE(after.message,
                 "critical: The file \"DIR/s.ofx\" is not a statement that Scrivane can clean: " + looks
                     + ".\r\n\r\nIt has not been changed.");
        QCOMPARE(after.box, QStringLiteral("DIR/s.ofx"));
        QCOMPARE(after.entries, QStringLiteral("Korvel Scrivane.ini s.ofx"));
        QCOMPARE(readFile(path("s.ofx")), bytes);
        QVERIFY(!QFile::exists(home->filePath("data/Trash")));
    }

    // Last month's output, which the new one replaces, waits in the trash beside the original, with the usual
    // message.
    void earlierOutputGoesToTheTrash()
    {
        if (trashIsTheRecycleBin)
            QSKIP("the Recycle Bin lies out of the test's sight");
        QVERIFY(writeFile(path("s.QBO"), "last month"));
        AfterClean after = clean("quickbooksCompat", "DIR/s.ofx");
        QCOMPARE(after.message, "information: " + QString::fromStdString(cleanedMessage(Target::QuickBooks)));
        QCOMPARE(readFile(home->filePath("data/Trash/files/s.QBO"))
                     + readFile(home->filePath("data/Trash/files/s.ofx")),
                 "last month" + bankStatement);
    }

    // What the target will meet in the written file follows the message in one sentence, with the whole list in
    // the box's details; the file is written all the same.
    void findingsFollowTheMessage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("details");
        const QString amount = "transaction 1 (FITID 1) of statement 1: TRNAMT \"-1.00 USD\" is not an OFX amount (a "
                               "signed number such as -12.50)";
        const QString advice = ". Write the amount as digits with an optional sign and one decimal point, for example "
                               "-12.50.";
        QTest::newRow("Quicken")
            << "quickenCompat" << Target::Quicken
            << "\r\n\r\nBefore you import: the cleaned file has one problem for Quicken, on line 13, " + amount + "."
            << "line 13: error: " + amount + advice;
        // The error comes first, though its line comes later; Other's message ends in an empty line of its own.
        const QString date = "transaction 1 (FITID 1) of statement 1: DTPOSTED \"2024-01-02\" is not an OFX date "
                             "(YYYYMMDD, optionally HHMMSS)";
        QTest::newRow("Other, two") << "noCompat" << Target::Other
                                    << "Before you import: the cleaned file has 2 problems for your financial "
                                       "application (listed under Show Details), the first on line 12, "
                + date + "."
                                    << "line 12: error: " + date
                + ". Write the date as YYYYMMDD, for example "
                  "20240131.\r\nline 13: error: "
                + amount + advice;
    }
    void findingsFollowTheMessage()
    {
        QFETCH(QString, button);
        QFETCH(Target, target);
        QFETCH(QString, sentence);
        QFETCH(QString, details);
        QByteArray faulty = QByteArray(bankStatement).replace("<TRNAMT>-1.00", "<TRNAMT>-1.00 USD");
        if (target == Target::Other)
            faulty.replace("<DTPOSTED>20240102", "<DTPOSTED>2024-01-02");
        QVERIFY(writeFile(path("s.ofx"), faulty));
        const AfterClean after = clean(button, "DIR/s.ofx");
        // Where no trash takes the statement that Other's output replaces, that sentence comes first.
        const QString noTrash = target == Target::Other && !originalGoesToTheTrash()
            ? "\r\n\r\nNo trash could take the statement as it was, so the cleaned file replaced it.\r\n\r\n"
            : QString();
        QCOMPARE(after.message, "information: " + QString::fromStdString(cleanedMessage(target)) + noTrash + sentence);
        QCOMPARE(prompts.messages().front().details, details);
        QCOMPARE(after.entries, QString("Korvel Scrivane.ini ") + (target == Target::Other ? "s.ofx" : "s.QFX"));
    }

    // A name that only matches as a pattern is missing too; the settings are saved all the same.
    void missingFileChangesNothing()
    {
        const QString missing = "critical: File does not appear to exist. Please try again.";
        for (const QString name : {"DIR/nothere.ofx", "DIR/*.ofx"}) {
            const AfterClean after = clean("quickenCompat", name);
            QCOMPARE(after.box, name);
            QCOMPARE(after.storedName, name);
            QCOMPARE(after.message, missing);
            QCOMPARE(after.entries, QStringLiteral("Korvel Scrivane.ini s.ofx"));
        }
        QCOMPARE(readFile(path("s.ofx")) + stored("quickenCompat").toLatin1(), bankStatement + "True");
    }

    // A path named on the command line is shown as given, and neither cleaned nor stored before Clean File, which
    // then takes it as a typed one (missingFileChangesNothing).
    void namedFileIsCleanedOnlyOnRequest()
    {
        MainForm form(*settings, prompts);
        form.setStatementPath(path("s.ofx"));
        QCOMPARE(box(form)->text(), path("s.ofx"));
        QCOMPARE(readFile(path("s.ofx")), bankStatement);
        QVERIFY(prompts.messages().empty());
        QCOMPARE(stored("fileName"), QString::fromStdString(absent));
    }

    // Only a local plain file is taken from a drop; anything else leaves the box alone and is refused.
    void drops_data()
    {
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<bool>("taken");
        QTest::newRow("statement") << QStringList {"file:DIR/s.ofx"} << true;
        QTest::newRow("first of two") << QStringList {"file:DIR/s.ofx", "file:DIR"} << true;
        QTest::newRow("folder") << QStringList {"file:DIR"} << false;
        QTest::newRow("missing") << QStringList {"file:DIR/gone.ofx"} << false;
        QTest::newRow("web") << QStringList {"https://example.com/s.ofx"} << false;
        QTest::newRow("no urls") << QStringList {} << false;
    }
    void drops()
    {
        QFETCH(QStringList, urls);
        QFETCH(bool, taken);
        MainForm form(*settings, prompts);
        box(form)->setText("typed");
        QMimeData data;
        QList<QUrl> list;
        for (const QString& url : urls)
            list.append(QUrl(QString(url).replace("DIR", dir->path())));
        data.setUrls(list);
        if (urls.isEmpty())
            data.setText("file:" + path("s.ofx"));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QCOMPARE(enter.isAccepted(), taken);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        QCOMPARE(box(form)->text(), taken ? path("s.ofx") : QString("typed"));
        QCOMPARE(box(form)->acceptDrops(), false); // the box must not paste the address as text
        QVERIFY(prompts.messages().empty());
        QCOMPARE(readFile(path("s.ofx")), bankStatement);
    }

    // Settings and Help only ask the application, once per press, and neither saves nor shows anything itself.
    void settingsAndHelpAreRequests()
    {
        MainForm form(*settings, prompts);
        QSignalSpy options(&form, &MainForm::nameOptionsRequested);
        QSignalSpy help(&form, &MainForm::helpRequested);
        click(form, "nameOptions");
        QCOMPARE(options.size(), 1);
        QCOMPARE(help.size(), 0);
        click(form, "myHelp");
        click(form, "myHelp");
        QCOMPARE(options.size(), 1);
        QCOMPARE(help.size(), 2);
        QVERIFY(prompts.messages().empty());
        QVERIFY(!QFile::exists(settings->fileName()));
    }

    // The statement stays as it was, the box keeps its path, and the user learns which file failed: the input or
    // the output. What each failure of the file layer leaves on the disk is tst_no_loss's.
    void failureKeepsTheStatement_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QString>("left");
        QTest::newRow("unreadable input") << Fault::UnreadableInput << "quickenCompat" << QString("s.ofx") << "s.ofx";
        QTest::newRow("folder at the output")
            << Fault::FolderAtOutput << "quickbooksCompat" << QString("s.QBO") << "s.ofx s.QBO";
        QTest::newRow("delete fails") << Fault::DeleteFails << "quickenCompat" << QString("s.ofx") << "s.ofx s.QFX";
    }
    void failureKeepsTheStatement()
    {
        QFETCH(Fault, fault);
        QFETCH(QString, button);
        QFETCH(QString, named);
        QFETCH(QString, left);
        FaultyFileSystem faulty;
        switch (fault) {
        case Fault::UnreadableInput:
            faulty.failRead();
            break;
        case Fault::FolderAtOutput:
            QVERIFY(QDir(dir->path()).mkdir("s.QBO"));
            break;
        case Fault::DeleteFails:
            faulty.failTrash();
            faulty.failRemove();
            break;
        }
        const AfterClean after = clean(button, "DIR/s.ofx", faulty);
        QVERIFY2(after.message.startsWith("critical: "), qPrintable(after.message));
        QVERIFY2(after.message.contains("DIR/" + named), qPrintable(after.message));
        QCOMPARE(after.box, QStringLiteral("DIR/s.ofx"));
        QCOMPARE(after.storedName, QStringLiteral("DIR/s.ofx"));
        QCOMPARE(after.entries, "Korvel Scrivane.ini " + left);
        QCOMPARE(readFile(path("s.ofx")), bankStatement);
    }

    // Where no trash can take the original it is deleted, with the same message as when it goes to the trash;
    // where the cleaned file then takes the name of a statement that no trash took, the message says so.
    void noTrashDeletesTheOriginal()
    {
        FaultyFileSystem faulty;
        faulty.failTrash();
        const QString cleaned = "information: " + QString::fromStdString(cleanedMessage(Target::QuickBooks));
        AfterClean after = clean("quickbooksCompat", "DIR/s.ofx", faulty);
        QCOMPARE(after.box, QStringLiteral("DIR/s.QBO"));
        QCOMPARE(after.storedName, QStringLiteral("DIR/s.QBO"));
        QCOMPARE(after.message, cleaned);
        QCOMPARE(after.entries, QStringLiteral("Korvel Scrivane.ini s.QBO"));
        after = clean("quickbooksCompat", "DIR/s.QBO", faulty);
        QCOMPARE(after.message,
                 cleaned + "\r\n\r\nNo trash could take the statement as it was, so the cleaned file replaced it.");
        QCOMPARE(after.entries, QStringLiteral("Korvel Scrivane.ini s.QBO"));
        QVERIFY(!QFile::exists(home->filePath("data/Trash")));
    }

    // Sharing the window's store, the command line writes out what Clean File writes, under options not the defaults.
    void commandLineWritesTheSameBytes()
    {
        store("omitWords", "FEE, ELECTRIC");
        store("mixedCase", "0");
        store("removeNumbers", "False");
        const QByteArray lf = readFile(SCRIVANE_TEST_DATA_DIR "/checking.ofx");
        for (const QByteArray& statement : {lf, QByteArray(lf).replace("\n", "\r\n")}) {
            for (const QString target : {"quickbooks", "quicken", "other"}) {
                QVERIFY(writeFile(path("window.ofx"), statement) && writeFile(path("cli.ofx"), statement));
                const QString output = clean(target == "other" ? "noCompat" : target + "Compat", "DIR/window.ofx").box;
                const QByteArray written = readFile(QString(output).replace("DIR", dir->path()));
                QVERIFY2(written.contains("<NAME>RETURNED CHECK CHECK # 319"), qPrintable(target));
                QProcess cli;
                cli.setEnvironment(QProcess::systemEnvironment() << "XDG_CONFIG_HOME=" + dir->path()
                                                                 << "APPDATA=" + QDir::toNativeSeparators(dir->path()));
                cli.start(QStringLiteral(SCRIVANE_CLEAN_PROGRAM), {"--stdout", "--target", target, path("cli.ofx")});
                QVERIFY(cli.waitForFinished(60000));
                QCOMPARE(cli.readAllStandardError() + QByteArray::number(cli.exitCode()), QByteArray("0"));
                QVERIFY2(cli.readAllStandardOutput() == written, qPrintable(target));
            }
        }
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_main_form.moc"
