#include "app/nam_windows.h"
#include "form_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace scrivane;

namespace {

const char* const flagKeys[] = {"mixedCase", "removeNumbers", "removeDates", "removeRepeat"};

QCheckBox* box(const QWidget& dialog, const char* name)
{
    return control<QCheckBox>(dialog, name);
}

QPlainTextEdit* words(const QWidget& dialog)
{
    return control<QPlainTextEdit>(dialog, "omitWords");
}

// Runs the windows that close() leaves for deletion.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int openDialogs()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->objectName() == QLatin1String("namOptions") ? 1 : 0;
    return count;
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

class TestNamOptions : public QObject
{
    Q_OBJECT

    FormFixture fixture_;
    std::unique_ptr<NameWindows> windows_;

    NamOptions* open()
    {
        NamOptions* dialog = windows_->showNameOptions();
        if (!dialog)
            qFatal("no dialog");
        return dialog;
    }

    // Done, then a fresh dialog that reads the store again.
    NamOptions* doneAndReopen(NamOptions* dialog)
    {
        click(*dialog, "myClose");
        settle();
        if (windows_->nameOptions())
            qFatal("Done left the dialog open");
        return open();
    }

private slots:
    void initTestCase() { passOn = qInstallMessageHandler(quietAboutRaise); }
    void init()
    {
        fixture_.reset();
        windows_ = std::make_unique<NameWindows>(*fixture_.settings, nullptr, LocaleRules::enUS());
    }
    void cleanup() { windows_.reset(); }

    void windowIsAFixedToolWindow()
    {
        NamOptions* dialog = open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Name Cleaning Options"));
        QCOMPARE(dialog->minimumSize(), QSize(468, 303));
        QCOMPARE(dialog->maximumSize(), QSize(468, 303));
        QCOMPARE(dialog->windowType(), Qt::Tool);
        QVERIFY(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!dialog->parentWidget());
        QVERIFY(!dialog->isModal());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        auto row = [](const char* name, const char* kind, const char* text, QRect geometry) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << QString::fromLatin1(text)
                                << geometry;
        };
        row("mixedCase", "QCheckBox", "Convert names to proper case  (JOHN SMITH to John Smith)", {20, 16, 429, 21});
        row("removeNumbers", "QCheckBox", "Remove numbers", {20, 44, 429, 21});
        row("removeDates", "QCheckBox", "Remove dates", {20, 72, 429, 21});
        row("removeRepeat", "QCheckBox", "Remove repeated words", {20, 100, 429, 21});
        row("Label1", "QLabel", "Remove these words from names:", {16, 136, 425, 17});
        row("omitWords", "QPlainTextEdit", "Check PMT XXX", {16, 156, 433, 85});
        row("previewRawNames", "QPushButton", "Names in file", {16, 256, 125, 25});
        row("previewNames", "QPushButton", "Cleaned names preview", {148, 256, 181, 25});
        row("myClose", "QPushButton", "Done", {368, 256, 81, 25});
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        NamOptions* dialog = open();
        auto* widget = dialog->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
        QCOMPARE(widget->geometry(), geometry);
        QCOMPARE(widget->parentWidget(), dialog);
        QString shown;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            shown = button->text();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            shown = label->text();
        else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
            shown = edit->toPlainText();
        QCOMPARE(shown, text);
        if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
            QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void firstDoneStoresTheDefaults()
    {
        NamOptions* dialog = open();
        for (const char* key : flagKeys)
            QVERIFY2(box(*dialog, key)->isChecked(), key);
        // Opening reads and writes nothing.
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("<absent>"));
        click(*dialog, "myClose");
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("Check PMT XXX"));
        for (const char* key : flagKeys)
            QCOMPARE(fixture_.stored(key), QStringLiteral("1"));
    }

    // What the user leaves on screen is what Done stores, under each box's own
    // key, and what the next opening shows.
    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("unchecked");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("remove dates off") << QStringList {"removeDates"} << "Check PMT XXX"
                                          << "Check PMT XXX";
        QTest::newRow("proper case and repeats off") << QStringList {"mixedCase", "removeRepeat"} << "Check PMT XXX"
                                                     << "Check PMT XXX";
        QTest::newRow("all off") << QStringList {flagKeys[0], flagKeys[1], flagKeys[2], flagKeys[3]} << "XXX"
                                 << "XXX";
        QTest::newRow("list kept as typed") << QStringList {} << "  debit  Card,  pos "
                                            << "  debit  Card,  pos ";
        QTest::newRow("emptied list") << QStringList {"removeNumbers"} << ""
                                      << "";
        QTest::newRow("list over several lines") << QStringList {} << "Check PMT\nXXX\n\nPOS "
                                                 << "Check PMT\r\nXXX\r\n\r\nPOS ";
        QTest::newRow("list ending in a line break") << QStringList {} << "ACH\n"
                                                     << "ACH\r\n";
    }
    void roundTrip()
    {
        QFETCH(QStringList, unchecked);
        QFETCH(QString, typed);
        QFETCH(QString, stored);

        NamOptions* dialog = open();
        for (const QString& key : unchecked)
            box(*dialog, key.toLatin1().constData())->setChecked(false);
        words(*dialog)->setPlainText(typed);

        dialog = doneAndReopen(dialog);
        QCOMPARE(fixture_.stored("omitWords"), stored);
        for (const char* key : flagKeys) {
            bool on = !unchecked.contains(QLatin1String(key));
            QCOMPARE(fixture_.stored(key), on ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(box(*dialog, key)->isChecked(), on);
        }
        QCOMPARE(words(*dialog)->toPlainText(), typed);

        // A second Done without changes stores the same again.
        dialog = doneAndReopen(dialog);
        QCOMPARE(fixture_.stored("omitWords"), stored);
    }

    // A word list stored by another hand goes back exactly as it came while the
    // user leaves it alone; once edited, its line breaks are CR LF.
    void untouchedListGoesBackUnchanged_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("afterEdit");
        QTest::newRow("LF") << "Check\nPMT"
                            << "Check\nPMT"
                            << "Check\r\nPMT X";
        QTest::newRow("CR") << "Check\rPMT"
                            << "Check\nPMT"
                            << "Check\r\nPMT X";
        QTest::newRow("CR LF") << "Check\r\nPMT"
                               << "Check\nPMT"
                               << "Check\r\nPMT X";
    }
    void untouchedListGoesBackUnchanged()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, afterEdit);
        fixture_.store("omitWords", stored);

        NamOptions* dialog = open();
        QCOMPARE(words(*dialog)->toPlainText(), shown);
        dialog = doneAndReopen(dialog);
        QCOMPARE(fixture_.stored("omitWords"), stored);

        words(*dialog)->moveCursor(QTextCursor::End);
        QTest::keyClicks(words(*dialog), QStringLiteral(" X"));
        click(*dialog, "myClose");
        QCOMPARE(fixture_.stored("omitWords"), afterEdit);
    }

    // Flags the dialog never writes: checked exactly when a clean would treat
    // them as on. Each row puts the text under one key and the opposite state
    // under the other three, so a box that reads another's key shows up.
    void storedFlagTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("checked");
        const std::pair<const char*, bool> texts[] = {
            {"", false},
            {"True", true},
            {"false", false},
            {"7", true},
            {"-1", true},
            {"0", false},
            {"abc", false},
            {"99999", true},
        };
        for (const char* key : flagKeys) {
            for (const auto& [text, checked] : texts)
                QTest::addRow("%s=\"%s\"", key, text)
                    << QString::fromLatin1(key) << QString::fromLatin1(text) << checked;
        }
    }
    void storedFlagTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, checked);
        for (const char* other : flagKeys)
            fixture_.store(other, checked ? QStringLiteral("0") : QStringLiteral("1"));
        fixture_.store(key.toLatin1().constData(), text);

        NamOptions* dialog = open();
        for (const char* name : flagKeys)
            QCOMPARE(box(*dialog, name)->isChecked(), key == QLatin1String(name) ? checked : !checked);
        // Done writes the state shown, as a check box state.
        click(*dialog, "myClose");
        QCOMPARE(fixture_.stored(key.toLatin1().constData()), checked ? QStringLiteral("1") : QStringLiteral("0"));
    }

    void closeBoxDiscardsChanges()
    {
        fixture_.store("removeDates", QStringLiteral("1"));
        fixture_.store("omitWords", QStringLiteral("ACH"));
        NamOptions* dialog = open();
        box(*dialog, "removeDates")->setChecked(false);
        words(*dialog)->setPlainText(QStringLiteral("changed"));
        dialog->close();
        settle();
        QVERIFY(!windows_->nameOptions());
        QCOMPARE(fixture_.stored("removeDates"), QStringLiteral("1"));
        QCOMPARE(fixture_.stored("omitWords"), QStringLiteral("ACH"));
        QCOMPARE(fixture_.stored("mixedCase"), QStringLiteral("<absent>"));

        dialog = open();
        QVERIFY(box(*dialog, "removeDates")->isChecked());
        QCOMPARE(words(*dialog)->toPlainText(), QStringLiteral("ACH"));
    }

    // Settings while the dialog is open: the same dialog, changes still on screen,
    // nothing read or written.
    void settingsAgainKeepsUnsavedChanges()
    {
        MainForm form(*fixture_.settings);
        NameWindows windows(*fixture_.settings, &form, LocaleRules::enUS());
        form.setShowNameOptions([&windows] { windows.showNameOptions(); });

        click(form, "nameOptions");
        NamOptions* dialog = windows.nameOptions();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        box(*dialog, "removeRepeat")->setChecked(false);
        words(*dialog)->setPlainText(QStringLiteral("typed"));
        fixture_.store("omitWords", QStringLiteral("stored meanwhile"));

        click(form, "nameOptions");
        QCOMPARE(windows.nameOptions(), dialog);
        QCOMPARE(openDialogs(), 1);
        QVERIFY(!box(*dialog, "removeRepeat")->isChecked());
        QCOMPARE(words(*dialog)->toPlainText(), QStringLiteral("typed"));
        QCOMPARE(fixture_.stored("removeRepeat"), QStringLiteral("<absent>"));
    }

    void dialogOutlivesTheMainWindow()
    {
        auto* form = new MainForm(*fixture_.settings);
        form->setAttribute(Qt::WA_DeleteOnClose);
        NameWindows windows(*fixture_.settings, form, LocaleRules::enUS());
        form->show();
        NamOptions* dialog = windows.showNameOptions();
        box(*dialog, "mixedCase")->setChecked(false);

        form->close();
        settle();
        QVERIFY(dialog->isVisible());
        click(*dialog, "myClose");
        QCOMPARE(fixture_.stored("mixedCase"), QStringLiteral("0"));
    }

    // The program runs on while the dialog is open after the main window closed,
    // and ends when the dialog closes.
    void programEndsWithTheLastWindow()
    {
        auto* form = new MainForm(*fixture_.settings);
        form->setAttribute(Qt::WA_DeleteOnClose);
        NameWindows windows(*fixture_.settings, form, LocaleRules::enUS());
        form->show();
        NamOptions* dialog = windows.showNameOptions();

        bool ranOn = false;
        QTimer::singleShot(0, form, [form] { form->close(); });
        QTimer::singleShot(50, dialog, [&ranOn, dialog] {
            ranOn = dialog->isVisible();
            dialog->close();
        });
        // Should the program never end, the test must still.
        QTimer failSafe;
        failSafe.setSingleShot(true);
        QObject::connect(&failSafe, &QTimer::timeout, [] { QCoreApplication::exit(7); });
        failSafe.start(5000);

        QCOMPARE(QApplication::exec(), 0);
        QVERIFY2(ranOn, "the program ended with the main window while the dialog was open");
    }
};

QTEST_MAIN(TestNamOptions)
#include "tst_nam_options.moc"
