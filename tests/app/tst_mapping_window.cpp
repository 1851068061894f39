// Clean File on a bank's CSV file: the mapping window shows what was found in
// it, takes the user's changes and answers, and the answers, kept as the
// profile of the file's layout, read next month's file without asking again.
#include "app/mapping_window.h"
#include "form_fixture.h"
#include "statement/guidance.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace scrivane;

namespace {

const QByteArray may = "Date,Text,Payee,Amount\r\n03/04/2024,CARD 1234,ACME STORE,-12.50\r\n"
                       "05/04/2024,TRANSFER,SALARY CO,1500.00\r\n";
const QByteArray cardQif = "!Type:CCard\nD03/04/2024\nT-12.50\nPACME STORE\n^\n";
const QByteArray june = "Date,Text,Payee,Amount\r\n06/05/2024,GROCER 88,FOOD MART,-40.00\r\n";

int columnOf(const QWidget& window, const char* box)
{
    return window.findChild<QComboBox*>(box)->currentData().toInt();
}

} // namespace

class TestMappingWindow : public FormTest
{
    Q_OBJECT

    // Clean File for QuickBooks on a file of the test's folder, with answer run
    // on the mapping window if one opens; whether one opened.
    bool cleanWith(MainForm& form, const QString& file, const std::function<void(MappingWindow&)>& answer)
    {
        bool opened = false;
        QTimer waiting;
        waiting.setSingleShot(true);
        connect(&waiting, &QTimer::timeout, [&] {
            if (auto* window = qobject_cast<MappingWindow*>(QApplication::activeModalWidget())) {
                opened = true;
                answer(*window);
            }
        });
        control<QRadioButton>(form, "quickbooksCompat")->setChecked(true);
        box(form)->setText(path(file));
        prompts.clear();
        waiting.start(0);
        click(form, "cleanFile");
        waiting.stop();
        return opened;
    }

private slots:
    void init() { reset(); }

    void firstFileAskedThenProfileUsed()
    {
        QVERIFY(writeFile(path("may.csv"), may));
        MainForm form(*settings, prompts);
        QStringList seen;
        const bool opened = cleanWith(form, "may.csv", [&](MappingWindow& window) {
            // What the titles showed, and what the values could not settle.
            seen << QString::number(columnOf(window, "dateColumn")) + " "
                    + QString::number(columnOf(window, "payeeColumn")) + " "
                    + QString::number(columnOf(window, "amountColumn"));
            auto* convert = window.findChild<QPushButton*>("convert");
            seen << QString::number(convert->isEnabled()) + " "
                    + window.findChild<QLabel*>("problem")->text().section(';', 0, 0);
            seen << window.findChild<QComboBox*>("payeeColumn")->accessibleName() + "|"
                    + window.findChild<QTableWidget*>("fileRows")->item(0, 1)->text();
            // The payee is in the column the bank calls "Text".
            auto* payee = window.findChild<QComboBox*>("payeeColumn");
            payee->setCurrentIndex(payee->findData(1));
            window.findChild<QComboBox*>("dateOrder")->setCurrentIndex(2);
            window.findChild<QLineEdit*>("accountId")->setText("12345678");
            auto* preview = window.findChild<QTableWidget*>("preview");
            seen << QString::number(convert->isEnabled()) + " " + preview->item(0, 0)->text() + " "
                    + preview->item(0, 3)->text();
            convert->click();
        });
        QVERIFY(opened);
        QCOMPARE(seen,
                 QStringList(
                     {"0 2 3",
                      "0 To convert, choose the order of the dates: every day in the file is 12 or less, so they read "
                      "either way",
                      "Payee|CARD 1234",
                      "1 2024-04-03 CARD 1234"}));
        QCOMPARE(shown(), "information: " + QString::fromStdString(cleanedMessage(Target::QuickBooks)));
        QCOMPARE(box(form)->text(), path("may.QBO"));
        QCOMPARE(readFile(path("may.csv")), may);
        const QByteArray qbo = readFile(path("may.QBO"));
        QVERIFY(qbo.contains("<ACCTID>12345678\r\n"));
        QVERIFY(qbo.contains("<DTPOSTED>20240403\r\n<TRNAMT>-12.50\r\n"));
        QVERIFY(qbo.contains("<NAME>Card</STMTTRN>"));
        QVERIFY(!qbo.contains("Acme"));
        QCOMPARE(settings->bankFileProfile("Date,Text,Payee,Amount"),
                 std::optional<std::string>(
                     "date=1,payee=2,amount=4,order=dmy,sign=normal,account=12345678,type=checking,currency=USD"));

        // Next month's file of the same bank: no window, the same answers.
        QVERIFY(writeFile(path("june.csv"), june));
        QVERIFY(!cleanWith(form, "june.csv", [](MappingWindow& window) { window.reject(); }));
        QCOMPARE(shown(), "information: " + QString::fromStdString(cleanedMessage(Target::QuickBooks)));
        const QByteArray next = readFile(path("june.QBO"));
        QVERIFY(next.contains("<DTPOSTED>20240506\r\n<TRNAMT>-40.00\r\n"));
        QVERIFY(next.contains("<NAME>Grocer</STMTTRN>"));
        QVERIFY(next.contains("<ACCTID>12345678\r\n"));
    }

    // Without a mouse: each label's Alt key reaches its control and no two labels
    // share a key; Tab visits every control once, a table being one stop whose
    // cells the arrows walk; a screen reader hears a name for every stop.
    void keyboardAndScreenReader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("csv") << may;
        QTest::newRow("qif") << cardQif;
    }
    void keyboardAndScreenReader()
    {
        QFETCH(QByteArray, bytes);
        const BankFile file
            = readBankFile(bytes.toStdString(), bytes.startsWith('!') ? BankFileFormat::Qif : BankFileFormat::Csv);
        MappingWindow window(file, readStatements(file, {}).mapping, "may");
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QHash<QString, QString> keys;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            auto* label = qobject_cast<QLabel*>(widget);
            auto* check = qobject_cast<QCheckBox*>(widget);
            if (!widget->isVisible() || (!(label && label->buddy()) && !check))
                continue;
            const QString text = label ? label->text() : check->text();
            const QKeySequence key = QKeySequence::mnemonic(text);
            QVERIFY2(!key.isEmpty(), qPrintable(text + " has no Alt key"));
            QVERIFY2(!keys.contains(key.toString()), qPrintable(text + " shares its key with " + keys[key.toString()]));
            keys[key.toString()] = text;
            QWidget* target = label ? label->buddy() : widget;
            if (target->isEnabled()) {
                QTest::keySequence(&window, key);
                QCOMPARE(QApplication::focusWidget(), target);
            }
            if (label)
                QCOMPARE(target->accessibleName() + ':', QString(text).remove('&'));
        }

        QList<QWidget*> stops;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)
                && !widget->focusProxy())
                stops << widget;
        }
        QWidget* first = window.findChild<QComboBox*>("dateOrder");
        first->setFocus(Qt::TabFocusReason);
        QList<QWidget*> visited;
        for (QWidget* at = first; visited.size() <= stops.size();) {
            visited << at;
            const QString heard = QAccessible::queryAccessibleInterface(at)->text(QAccessible::Name);
            QVERIFY2(!heard.isEmpty(), qPrintable(at->objectName() + " has no name for a screen reader"));
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
            if (at == first)
                break;
        }
        QCOMPARE(visited.size(), stops.size());
        for (QWidget* stop : stops)
            QVERIFY2(visited.contains(stop), qPrintable(stop->objectName() + " is never reached by Tab"));
    }

    // Cancel writes nothing, keeps no answers and says nothing.
    void cancelWritesNothing()
    {
        QVERIFY(writeFile(path("may.csv"), may));
        MainForm form(*settings, prompts);
        QVERIFY(cleanWith(
            form, "may.csv", [](MappingWindow& window) { window.findChild<QPushButton*>("cancel")->click(); }));
        QCOMPARE(prompts.messages().size(), std::size_t(0));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList({"Korvel Scrivane.ini", "may.csv", "s.ofx"}));
        QCOMPARE(settings->bankFileProfile("Date,Text,Payee,Amount"), std::nullopt);
    }

    // Select File offers the bank's files after the types it always had, which
    // keep their places, so that a stored choice still means what it meant.
    void selectFileOffersBankFiles()
    {
        MainForm form(*settings, prompts);
        click(form, "Select");
        QVERIFY(!prompts.requests().empty());
        QCOMPARE(prompts.requests().back().filter,
                 QStringLiteral("OFX Files (*.ofx)|*.ofx|QFX Files (*.qfx)|*.qfx|QBO Files (*.qbo)|*.qbo|All Files "
                                "(*.*)|*.*|CSV Files (*.csv)|*.csv|QIF Files (*.qif)|*.qif"));
    }
};

QTEST_MAIN(TestMappingWindow)
#include "tst_mapping_window.moc"
