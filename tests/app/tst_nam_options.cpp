#include "app/nam_windows.h"
#include "form_fixture.h"

#include <QCheckBox>
#include <QPlainTextEdit>

using namespace scrivane;

namespace {

const char* const flagKeys[] = {"mixedCase", "removeNumbers", "removeDates", "removeRepeat"};

QCheckBox* box(const QWidget& dialog, const QString& name)
{
    return control<QCheckBox>(dialog, name.toLatin1().constData());
}

QPlainTextEdit* words(const QWidget& dialog)
{
    return control<QPlainTextEdit>(dialog, "omitWords");
}

} // namespace

class TestNamOptions : public QObject
{
    Q_OBJECT

    FormFixture fixture_;
    std::unique_ptr<NameWindows> windows_;

    // Done, then a fresh dialog that reads the store again.
    NamOptions* doneAndReopen(NamOptions* dialog)
    {
        click(*dialog, "myClose");
        settle();
        if (windows_->nameOptions())
            qFatal("Done left the dialog open");
        return windows_->showNameOptions();
    }

    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

private slots:
    void init()
    {
        fixture_.reset();
        windows_ = std::make_unique<NameWindows>(*fixture_.settings, nullptr, LocaleRules::enUS());
    }
    void cleanup() { windows_.reset(); }

    // From an empty store: the defaults on screen, then what the user leaves
    // there is stored under each box's own key and shown at the next opening.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("unchecked");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("defaults") << QStringList {} << "Check PMT XXX"
                                  << "Check PMT XXX";
        QTest::newRow("remove dates off") << QStringList {"removeDates"} << "  debit  Card, "
                                          << "  debit  Card, ";
        QTest::newRow("two off, list emptied") << QStringList {"mixedCase", "removeRepeat"} << ""
                                               << "";
        QTest::newRow("several lines") << QStringList {} << "Check PMT\nXXX\n\nPOS\n"
                                       << "Check PMT\r\nXXX\r\n\r\nPOS\r\n";
    }
    void roundTrip()
    {
        QFETCH(QStringList, unchecked);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        NamOptions* dialog = windows_->showNameOptions();
        QCOMPARE(words(*dialog)->toPlainText(), QStringLiteral("Check PMT XXX"));
        for (const char* key : flagKeys)
            QVERIFY(box(*dialog, key)->isChecked());
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("<absent>"));

        for (const QString& key : unchecked)
            box(*dialog, key)->setChecked(false);
        words(*dialog)->setPlainText(typed);
        for (int round = 0; round < 2; ++round) {
            dialog = doneAndReopen(dialog);
            QCOMPARE(fixture_.stored("omitWords"), stored);
            QCOMPARE(words(*dialog)->toPlainText(), typed);
            for (const char* key : flagKeys) {
                const bool on = !unchecked.contains(QLatin1String(key));
                QCOMPARE(fixture_.stored(key), on ? QStringLiteral("1") : QStringLiteral("0"));
                QCOMPARE(box(*dialog, key)->isChecked(), on);
            }
        }
    }

    // A list stored with other line breaks goes back as it came while the user
    // leaves it alone; once edited, its breaks are CR LF.
    void untouchedListGoesBackUnchanged()
    {
        for (const QString stored : {"Check\nPMT", "Check\rPMT", "Check\r\nPMT"}) {
            fixture_.store("omitWords", stored);
            NamOptions* dialog = doneAndReopen(windows_->showNameOptions());
            QCOMPARE(fixture_.stored("omitWords"), stored);
            QCOMPARE(words(*dialog)->toPlainText(), QStringLiteral("Check\nPMT"));
            words(*dialog)->moveCursor(QTextCursor::End);
            QTest::keyClicks(words(*dialog), QStringLiteral(" X"));
            click(*dialog, "myClose");
            settle();
            QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("Check\r\nPMT X"));
        }
    }

    // Flag texts the dialog never writes: checked exactly when a clean takes the
    // flag as on, and stored as a check box state at Done.
    void storedFlagTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("checked");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("7") << "7" << true;
        QTest::newRow("abc") << "abc" << false;
    }
    void storedFlagTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, checked);
        for (const char* key : flagKeys)
            fixture_.store(key, text);
        NamOptions* dialog = windows_->showNameOptions();
        for (const char* key : flagKeys)
            QCOMPARE(box(*dialog, key)->isChecked(), checked);
        click(*dialog, "myClose");
        for (const char* key : flagKeys)
            QCOMPARE(fixture_.stored(key), checked ? QStringLiteral("1") : QStringLiteral("0"));
    }

    void closeBoxDiscardsChanges()
    {
        fixture_.store("omitWords", QStringLiteral("ACH"));
        NamOptions* dialog = windows_->showNameOptions();
        box(*dialog, "removeDates")->setChecked(false);
        words(*dialog)->setPlainText(QStringLiteral("changed"));
        dialog->close();
        settle();
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("ACH"));
        QCOMPARE(fixture_.stored("removeDates"), QStringLiteral("<absent>"));
        dialog = windows_->showNameOptions();
        QVERIFY(box(*dialog, "removeDates")->isChecked());
        QCOMPARE(words(*dialog)->toPlainText(), QStringLiteral("ACH"));
    }

    // Settings while the dialog is open: the same dialog, changes still on
    // screen, nothing read or written.
    void settingsAgainKeepsUnsavedChanges()
    {
        MainForm form(*fixture_.settings);
        NameWindows windows(*fixture_.settings, &form, LocaleRules::enUS());
        form.setShowNameOptions([&windows] { windows.showNameOptions(); });
        click(form, "nameOptions");
        NamOptions* dialog = windows.nameOptions();
        QVERIFY(dialog && dialog->isVisible());
        box(*dialog, "removeRepeat")->setChecked(false);
        fixture_.store("removeRepeat", QStringLiteral("1"));

        click(form, "nameOptions");
        QCOMPARE(windows.nameOptions(), dialog);
        QVERIFY(!box(*dialog, "removeRepeat")->isChecked());
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("<absent>"));
    }
};

QTEST_MAIN(TestNamOptions)
#include "tst_nam_options.moc"
