#include "../platform/test_files.h"
#include "form_fixture.h"

#include <QFile>
#include <QRadioButton>

using namespace scrivane;

namespace {

const QString placeholder = QStringLiteral("<enter or select a file to clean>");

// The option buttons that are on, as "QuickBooks", "Quicken", "Other" joined by "+".
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

    // What Select File asks the dialog to show; the dialog is cancelled.
    FileDialogRequest dialogRequest(MainForm& form)
    {
        fixture_.dialogs->cancel();
        click(form, "Select");
        return fixture_.dialogs->requests().value(fixture_.dialogs->requests().size() - 1);
    }

private slots:
    void init() { fixture_.reset(); }

    void firstRunThenDone()
    {
        MainForm form(*fixture_.settings);
        QCOMPARE(buttonsOn(form), QStringLiteral("Other"));
        QCOMPARE(boxText(form), placeholder);
        FileDialogRequest request = dialogRequest(form);
        QCOMPARE(request.title, QStringLiteral("Select OFX file to clean"));
        QCOMPARE(request.filter,
                 QStringLiteral(
                     "OFX Files (*.ofx)|*.ofx|QFX Files (*.qfx)|*.qfx|QBO Files (*.qbo)|*.qbo|All Files (*.*)|*.*"));
        QCOMPARE(request.filterIndex, 1);
        QCOMPARE(request.initialFile, QString());
        QVERIFY(!QFile::exists(fixture_.settings->fileName())); // loading writes nothing

        form.show();
        click(form, "myClose");
        QVERIFY(!form.isVisible());
        QCOMPARE(fixture_.stored("quickbooksCompat"), QStringLiteral("False"));
        QCOMPARE(fixture_.stored("quickenCompat"), QStringLiteral("False"));
        QCOMPARE(fixture_.stored("noCompat"), QStringLiteral("True"));
        QCOMPARE(fixture_.stored("fileName"), placeholder);
        QCOMPARE(fixture_.stored("fileTypeSelected"), QStringLiteral("1"));
    }

    void closeBoxStoresNothing()
    {
        fixture_.store("noCompat", "False");
        fixture_.store("quickenCompat", "True");
        MainForm form(*fixture_.settings);
        form.show();
        control(form, "quickbooksCompat")->click();
        setBoxText(form, "/typed/path.ofx");
        QVERIFY(form.close());
        QCOMPARE(fixture_.stored("quickenCompat"), QStringLiteral("True"));
        QCOMPARE(fixture_.stored("quickbooksCompat"), QStringLiteral("<absent>"));
        QCOMPARE(fixture_.stored("fileName"), QStringLiteral("<absent>"));
    }

    // Read QuickBooks, Quicken, Other: the last "True" wins, a "False" turns
    // only its own button off, and text that is no truth value is the default.
    void storedChoiceIsRestored_data()
    {
        QTest::addColumn<QStringList>("stored"); // quickbooksCompat, quickenCompat, noCompat; null: absent
        QTest::addColumn<QString>("on");
        QTest::newRow("QuickBooks") << QStringList {"True", "False", "False"} << "QuickBooks";
        QTest::newRow("all false: none on") << QStringList {"False", "False", "False"} << "";
        QTest::newRow("two true: the later wins") << QStringList {"True", "True", "False"} << "Quicken";
        QTest::newRow("Other absent: default on") << QStringList {"True", {}, {}} << "Other";
        QTest::newRow("letter case and numbers") << QStringList {"tRUE", "0", "0"} << "QuickBooks";
        QTest::newRow("garbage is the default") << QStringList {"yes", "\x01\x02", "maybe"} << "Other";
        QTest::newRow("empty is the default") << QStringList {"True", "", "False"} << "QuickBooks";
        QTest::newRow("non-zero number") << QStringList {"False", "-1", "False"} << "Quicken";
    }
    void storedChoiceIsRestored()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, on);
        const char* keys[] = {"quickbooksCompat", "quickenCompat", "noCompat"};
        for (int i = 0; i < 3; ++i) {
            if (!stored[i].isNull())
                fixture_.store(keys[i], stored[i]);
        }
        MainForm form(*fixture_.settings);
        QCOMPARE(buttonsOn(form), on);
    }

    // The box shows whatever was stored; the dialog opens on it only while it
    // names an existing file.
    void storedFileName_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("preselected");
        QTest::newRow("existing file") << "statement.ofx" << true;
        QTest::newRow("deleted file") << "gone.ofx" << false;
        QTest::newRow("pattern") << "*.ofx" << false;
        QTest::newRow("empty") << "" << false;
    }
    void storedFileName()
    {
        QFETCH(QString, stored);
        QFETCH(bool, preselected);
        QVERIFY(writeFile(fixture_.path("statement.ofx"), bankStatement));
        const QString path = stored.isEmpty() ? stored : fixture_.path(stored);
        fixture_.store("fileName", path);
        MainForm form(*fixture_.settings);
        QCOMPARE(boxText(form), path);
        QCOMPARE(dialogRequest(form).initialFile, preselected ? path : QString());
        click(form, "myClose");
        QCOMPARE(fixture_.stored("fileName"), path);
    }

    void storedFilterIndex_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index");
        QTest::newRow("QBO") << " 3 " << 3;
        QTest::newRow("zero") << "0" << 1;
        QTest::newRow("beyond the filters") << "5" << 1;
        QTest::newRow("beyond 16 bits") << "65539" << 1;
        QTest::newRow("text") << "3x" << 1;
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
            // Within the run the dialog opens on the last choice, not on what
            // was typed since; a cancel keeps the typed text.
            setBoxText(form, "typed.ofx");
            FileDialogRequest again = dialogRequest(form);
            QCOMPARE(again.filterIndex, 3);
            QCOMPARE(again.initialFile, chosen);
            QCOMPARE(boxText(form), QStringLiteral("typed.ofx"));
            click(form, "myClose");
        }
        QCOMPARE(fixture_.stored("fileTypeSelected"), QStringLiteral("3"));
        QCOMPARE(fixture_.stored("fileName"), QStringLiteral("typed.ofx"));
        MainForm next(*fixture_.settings);
        QCOMPARE(dialogRequest(next).filterIndex, 3);
        QVERIFY(fixture_.messages->messages().isEmpty());
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
};

QTEST_MAIN(TestMainFormSettings)
#include "tst_main_form_settings.moc"
