#include "../platform/test_files.h"
#include "form_fixture.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>

using namespace scrivane;

namespace {

const QString placeholder = QStringLiteral("<enter or select a file to clean>");
const QString filterString
    = QStringLiteral("OFX Files (*.ofx)|*.ofx|QFX Files (*.qfx)|*.qfx|QBO Files (*.qbo)|*.qbo|All Files (*.*)|*.*");

// Which option buttons are on, as "QuickBooks", "Quicken", "Other" joined by "+".
QString buttonsOn(const QWidget& form)
{
    QStringList on;
    if (control<QRadioButton>(form, "quickbooksCompat")->isChecked())
        on << "QuickBooks";
    if (control<QRadioButton>(form, "quickenCompat")->isChecked())
        on << "Quicken";
    if (control<QRadioButton>(form, "noCompat")->isChecked())
        on << "Other";
    return on.join(u'+');
}

} // namespace

class TestMainFormSettings : public QObject
{
    Q_OBJECT

    FormFixture fixture_;

    // Opens the dialog once (answered by cancel) and returns what it was asked to show.
    FileDialogRequest dialogRequest(MainForm& form)
    {
        fixture_.dialogs->cancel();
        int before = static_cast<int>(fixture_.dialogs->requests().size());
        click(form, "Select");
        if (fixture_.dialogs->requests().size() != before + 1)
            qFatal("Select File showed no dialog");
        return fixture_.dialogs->requests().last();
    }

private slots:
    void init() { fixture_.reset(); }

    void firstRun()
    {
        MainForm form(*fixture_.settings);
        QCOMPARE(buttonsOn(form), QStringLiteral("Other"));
        QCOMPARE(boxText(form), placeholder);
        FileDialogRequest request = dialogRequest(form);
        QCOMPARE(request.title, QStringLiteral("Select OFX file to clean"));
        QCOMPARE(request.filter, filterString);
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(request.initialFile, QString());
        // Loading reads; it writes nothing.
        QVERIFY(!QFile::exists(fixture_.settings->fileName()));
    }

    void doneStoresTheFiveKeysAndCloses()
    {
        MainForm form(*fixture_.settings);
        form.show();
        click(form, "myClose");
        QVERIFY(!form.isVisible());
        QCOMPARE(fixture_.stored("quickbooksCompat"), QStringLiteral("False"));
        QCOMPARE(fixture_.stored("quickenCompat"), QStringLiteral("False"));
        QCOMPARE(fixture_.stored("noCompat"), QStringLiteral("True"));
        QCOMPARE(fixture_.stored("fileName"), placeholder);
        QCOMPARE(fixture_.stored("fileTypeSelected"), QStringLiteral("1"));
        QVERIFY(fixture_.messages->messages().isEmpty());
    }

    void closeBoxStoresNothing()
    {
        fixture_.store("quickbooksCompat", "False");
        fixture_.store("quickenCompat", "True");
        fixture_.store("noCompat", "False");
        {
            MainForm form(*fixture_.settings);
            form.show();
            QCOMPARE(buttonsOn(form), QStringLiteral("Quicken"));
            control(form, "quickbooksCompat")->click();
            QCOMPARE(buttonsOn(form), QStringLiteral("QuickBooks"));
            setBoxText(form, "/typed/path.ofx");
            QVERIFY(form.close());
        }
        QCOMPARE(fixture_.stored("quickenCompat"), QStringLiteral("True"));
        QCOMPARE(fixture_.stored("quickbooksCompat"), QStringLiteral("False"));
        QCOMPARE(fixture_.stored("fileName"), QStringLiteral("<absent>"));
        MainForm again(*fixture_.settings);
        QCOMPARE(buttonsOn(again), QStringLiteral("Quicken"));
    }

    // The buttons are read QuickBooks, Quicken, Other: the last "True" wins,
    // and a "False" turns only its own button off.
    void storedChoiceIsRestored_data()
    {
        QTest::addColumn<QString>("quickbooks");
        QTest::addColumn<QString>("quicken");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("on");
        const QString absent; // a null text: the key is not written
        QTest::newRow("QuickBooks") << "True"
                                    << "False"
                                    << "False"
                                    << "QuickBooks";
        QTest::newRow("Quicken") << "False"
                                 << "True"
                                 << "False"
                                 << "Quicken";
        QTest::newRow("Other") << "False"
                               << "False"
                               << "True"
                               << "Other";
        QTest::newRow("all false: none on") << "False"
                                            << "False"
                                            << "False"
                                            << "";
        QTest::newRow("two true: the later wins") << "True"
                                                  << "True"
                                                  << "False"
                                                  << "Quicken";
        QTest::newRow("three true: Other wins") << "True"
                                                << "True"
                                                << "True"
                                                << "Other";
        QTest::newRow("QuickBooks, Other absent") << "True" << absent << absent << "Other";
        QTest::newRow("letter case and numbers") << "tRUE"
                                                 << "0"
                                                 << "0"
                                                 << "QuickBooks";
        QTest::newRow("non-zero number") << "False"
                                         << "-1"
                                         << "False"
                                         << "Quicken";
        QTest::newRow("garbage is the default") << "yes"
                                                << "\x01\x02"
                                                << "maybe"
                                                << "Other";
        QTest::newRow("empty is the default") << ""
                                              << ""
                                              << ""
                                              << "Other";
    }
    void storedChoiceIsRestored()
    {
        QFETCH(QString, quickbooks);
        QFETCH(QString, quicken);
        QFETCH(QString, other);
        QFETCH(QString, on);
        if (!quickbooks.isNull())
            fixture_.store("quickbooksCompat", quickbooks);
        if (!quicken.isNull())
            fixture_.store("quickenCompat", quicken);
        if (!other.isNull())
            fixture_.store("noCompat", other);
        MainForm form(*fixture_.settings);
        QCOMPARE(buttonsOn(form), on);
        QCOMPARE(form.target(),
                 on == "QuickBooks"    ? Target::QuickBooks
                     : on == "Quicken" ? Target::Quicken
                                       : Target::Other);
    }

    void storedFileName_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("preselected");
        QTest::newRow("existing file") << "statement.ofx" << true << true;
        QTest::newRow("deleted file") << "gone.ofx" << false << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("pattern") << "*.ofx" << false << false;
        QTest::newRow("folder") << "." << false << false;
    }
    void storedFileName()
    {
        QFETCH(QString, stored);
        QFETCH(bool, exists);
        QFETCH(bool, preselected);
        QVERIFY(writeFile(fixture_.path("statement.ofx"), bankStatement));
        QString path = stored.isEmpty() ? stored : fixture_.path(stored);
        if (exists)
            QVERIFY(QFile::exists(path));
        fixture_.store("fileName", path);
        MainForm form(*fixture_.settings);
        QCOMPARE(boxText(form), path);
        QCOMPARE(dialogRequest(form).initialFile, preselected ? path : QString());
        // The emptied box stays empty; the placeholder does not come back.
        click(form, "myClose");
        QCOMPARE(fixture_.stored("fileName"), path);
    }

    void storedFilterIndex_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("QBO") << "3" << 3;
        QTest::newRow("all files") << "4" << 4;
        QTest::newRow("spaces") << " 2 " << 2;
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("beyond the filters") << "5" << 1;
        QTest::newRow("beyond 16 bits") << "65539" << 1;
        QTest::newRow("negative") << "-3" << 1;
        QTest::newRow("text") << "QBO" << 1;
        QTest::newRow("number and text") << "3x" << 1;
        QTest::newRow("empty") << "" << 1;
    }
    void storedFilterIndex()
    {
        QFETCH(QString, stored);
        QFETCH(int, index);
        fixture_.store("fileTypeSelected", stored);
        MainForm form(*fixture_.settings);
        QCOMPARE(dialogRequest(form).filterIndex, index);
    }

    void chosenFileAndFilterLastIntoTheNextRun()
    {
        const QString chosen = fixture_.path("statement.qbo");
        QVERIFY(writeFile(chosen, bankStatement));
        {
            MainForm form(*fixture_.settings);
            fixture_.dialogs->choose(chosen, 3);
            click(form, "Select");
            QCOMPARE(boxText(form), chosen);
            // Within the run the dialog opens on the file and filter last chosen,
            // not on what was typed since.
            setBoxText(form, "typed.ofx");
            FileDialogRequest again = dialogRequest(form);
            QCOMPARE(again.filterIndex, 3);
            QCOMPARE(again.initialFile, chosen);
            QCOMPARE(boxText(form), QStringLiteral("typed.ofx"));
            setBoxText(form, chosen);
            click(form, "myClose");
        }
        QCOMPARE(fixture_.stored("fileTypeSelected"), QStringLiteral("3"));
        QCOMPARE(fixture_.stored("fileName"), chosen);
        MainForm next(*fixture_.settings);
        FileDialogRequest request = dialogRequest(next);
        QCOMPARE(request.filterIndex, 3);
        QCOMPARE(request.initialFile, chosen);
        QCOMPARE(boxText(next), chosen);
    }

    void cancelKeepsTheTypedPath()
    {
        MainForm form(*fixture_.settings);
        setBoxText(form, "  /typed by hand.ofx");
        dialogRequest(form);
        QCOMPARE(boxText(form), QStringLiteral("  /typed by hand.ofx"));
        QVERIFY(fixture_.messages->messages().isEmpty());
        click(form, "myClose");
        QCOMPARE(fixture_.stored("fileTypeSelected"), QStringLiteral("1"));
    }

    void dialogFailureIsReported()
    {
        MainForm form(*fixture_.settings);
        setBoxText(form, "typed.ofx");
        fixture_.dialogs->fail(12, QStringLiteral("The dialog could not be created."));
        click(form, "Select");
        QCOMPARE(boxText(form), QStringLiteral("typed.ofx"));
        QCOMPARE(fixture_.messages->messages().size(), 1);
        ShownMessage shown = fixture_.messages->messages().first();
        QCOMPARE(shown.text, QStringLiteral("Error 12 selecting file.\r\nThe dialog could not be created."));
        QCOMPARE(shown.icon, MessageIcon::None);
        QCOMPARE(shown.title, QStringLiteral("Scrivane"));
    }

    void unusableStoreStillOpensTheWindow()
    {
        QVERIFY(QDir().mkpath(fixture_.settings->fileName()));
        MainForm form(*fixture_.settings);
        QCOMPARE(buttonsOn(form), QStringLiteral("Other"));
        QCOMPARE(boxText(form), QString());
        QCOMPARE(dialogRequest(form).filterIndex, 1);
        form.show();
        click(form, "myClose");
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestMainFormSettings)
#include "tst_main_form_settings.moc"
