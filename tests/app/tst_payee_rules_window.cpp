#include "app/nam_windows.h"
#include "form_fixture.h"
#include "rules/rules_csv.h"
#include "settings/payee_rules_store.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace scrivane;

class TestPayeeRulesWindow : public FormTest
{
    Q_OBJECT

    std::unique_ptr<MainForm> form_;
    std::unique_ptr<NameWindows> windows_;
    PayeeRulesWindow* window_ = nullptr;

    QTableWidget* rules() const { return control<QTableWidget>(*window_, "rules"); }
    // The statement's names as listed: "raw > written #rule" a row.
    QStringList names() const
    {
        const QTableWidget* names = control<QTableWidget>(*window_, "names");
        QStringList rows;
        for (int row = 0; row < names->rowCount(); ++row)
            rows << names->item(row, 0)->text() + " > " + names->item(row, 1)->text() + " #"
                    + names->item(row, 2)->text();
        return rows;
    }
    void setRule(int row, const QString& match, const QString& text, const QString& name) const
    {
        rules()->item(row, 0)->setText(match);
        rules()->item(row, 1)->setText(text);
        rules()->item(row, 2)->setText(name);
    }
    void select(const char* table, int row) const { control<QTableWidget>(*window_, table)->setCurrentCell(row, 1); }
    QString problem() const { return control<QLabel>(*window_, "problem")->text(); }
    static std::vector<PayeeRule> read(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? readRulesCsv(in.readAll().toStdString()).rules
                                            : std::vector<PayeeRule> {};
    }

private slots:
    void init()
    {
        reset();
        writeFile(path("s.ofx"),
                  "<NAME>POS WAL MART 0315<NAME>AMAZON MKTP 77<NAME>POS WAL MART 0315<NAME>SHELL OIL 1234");
        QVERIFY(savePayeeRules(*settings, {{MatchKind::Contains, "mart wal", "Walmart"}}));
        store("removeNumbers", "0");
        form_ = std::make_unique<MainForm>(*settings, prompts);
        box(*form_)->setText(path("s.ofx"));
        windows_ = std::make_unique<NameWindows>(*settings, prompts, form_.get(), LocaleRules::enUS());
        click(*windows_->showNameOptions(), "payeeRules");
        window_ = windows_->payeeRules();
        QVERIFY(window_ && window_->isVisible());
    }

    // Add, edit in place, reorder, a rule made from a listed name, remove: the names beside follow every change,
    // each name listed once; Done saves exactly the rules shown, and the cleaned names preview and Clean File then
    // write them.
    void editAndSave()
    {
        QCOMPARE(names(),
                 QStringList({"POS WAL MART 0315 > Walmart #1",
                              "AMAZON MKTP 77 > Amazon Mktp 77 #",
                              "SHELL OIL 1234 > Shell Oil 1234 #"}));
        click(*window_, "addRule");
        setRule(1, "begins", "amazon", "Amazon");
        QCOMPARE(names().at(1), "AMAZON MKTP 77 > Amazon #2");
        select("rules", 0);
        click(*window_, "addRule");
        setRule(1, "pattern", "^POS ", "Card");
        QCOMPARE(names().at(0), "POS WAL MART 0315 > Walmart #1");
        click(*window_, "moveUp");
        QCOMPARE(names().at(0), "POS WAL MART 0315 > Card #1");
        QCOMPARE(names().at(1), "AMAZON MKTP 77 > Amazon #3");
        click(*window_, "moveDown");
        click(*window_, "moveDown");
        QCOMPARE(names().at(0), "POS WAL MART 0315 > Walmart #1");
        click(*window_, "removeRule");
        QCOMPARE(names().at(1), "AMAZON MKTP 77 > Amazon #2");

        // Made from a name: the words of its cleaned form, and that form as the name, ready to type over.
        select("names", 2);
        click(*window_, "ruleFromName");
        QCOMPARE(rules()->item(2, 1)->text(), "shell oil 1234");
        QCOMPARE(names().at(2), "SHELL OIL 1234 > Shell Oil 1234 #3");
        QVERIFY(rules()->indexWidget(rules()->model()->index(2, 2)));
        setRule(2, "contains", "shell", "Shell");
        click(*window_, "addRule");
        setRule(3, "begins", "acme", "Acme Inc");

        // A rule that cannot be used is named, and nothing is saved until it is mended.
        setRule(1, "pattern", "(", "Amazon");
        QVERIFY(problem().startsWith("Rule 2 (pattern \"(\")"));
        click(*window_, "done");
        QVERIFY(shown().contains("The rules have not been saved"));
        QCOMPARE(readPayeeRules(*settings).rules.size(), 1U);
        setRule(1, "begins", "amazon", "Amazon");
        QCOMPARE(problem(), QString());
        const std::vector<PayeeRule> shownRules = window_->rules();
        click(*window_, "done");
        QVERIFY(!window_->isVisible());
        QCOMPARE(readPayeeRules(*settings).rules, shownRules);
        QCOMPARE(stored("removeNumbers"), "0");

        click(*windows_->showNameOptions(), "previewNames");
        QCOMPARE(
            windows_->nameList()->findChild<QAbstractItemView*>("namelist")->model()->index(3, 0).data().toString(),
            "Shell");
        writeFile(path("s.ofx"), bankStatement);
        click(*form_, "cleanFile");
        const QStringList written = QDir(dir->path()).entryList({"s.*"});
        QCOMPARE(written.size(), 1);
        QVERIFY(readFile(path(written[0])).contains("<NAME>Acme Inc"));
    }

    // Export writes what import reads back; a malformed file or a cancelled dialog changes nothing.
    void importExport()
    {
        click(*window_, "addRule");
        setRule(1, "exact", "a, \"b\"\nc", "Ä & Co");
        const std::vector<PayeeRule> before = window_->rules();
        prompts.choose(path("rules.csv"), 1);
        click(*window_, "exportRules");
        QCOMPARE(read(path("rules.csv")), before);

        writeFile(path("bad.csv"), "match,text,name\ncontains,\"open,Name\n");
        prompts.choose(path("bad.csv"), 1);
        click(*window_, "importRules");
        QVERIFY2(shown().contains("Line 2: a quoted field"), qPrintable(shown()));
        prompts.cancel();
        click(*window_, "importRules");
        QCOMPARE(window_->rules(), before);

        writeFile(path("new.csv"), "match,text,name\nbegins,shell,Shell\n");
        prompts.choose(path("new.csv"), 1);
        click(*window_, "importRules");
        QCOMPARE(window_->rules(), (std::vector<PayeeRule> {{MatchKind::Begins, "shell", "Shell"}}));
        QCOMPARE(names().at(2), "SHELL OIL 1234 > Shell #1");
        QCOMPARE(prompts.requests().at(0).title, "Export Payee Rules");
    }

    // A screen reader hears what each table and button is; the keyboard reaches each by a letter or Tab.
    void accessible()
    {
        for (const char* name : {"rules", "names"})
            QVERIFY(!QAccessible::queryAccessibleInterface(control(*window_, name))->text(QAccessible::Name).isEmpty());
        for (const QPushButton* button : window_->findChildren<QPushButton*>()) {
            QVERIFY2(!button->accessibleDescription().isEmpty(), qPrintable(button->objectName()));
            QVERIFY(button->focusPolicy() & Qt::TabFocus);
        }
    }
};

QTEST_MAIN(TestPayeeRulesWindow)
#include "tst_payee_rules_window.moc"
