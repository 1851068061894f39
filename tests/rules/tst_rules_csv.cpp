#include "rules/rules_csv.h"

#include <QTest>

using namespace scrivane;

// The rules read as one text, "kind|text|name" a line, or the error.
static QString readBack(const QByteArray& file)
{
    const RulesFile read = readRulesCsv(file.toStdString());
    if (!read.error.empty()) {
        if (!read.rules.empty())
            return "rules given beside an error";
        return QString::fromStdString(read.error);
    }
    QString text;
    for (const PayeeRule& rule : read.rules)
        text += QString::fromStdString(std::string(matchKindName(rule.match)) + "|" + rule.text + "|" + rule.name
                                       + "\n");
    return text;
}

class TestRulesCsv : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip()
    {
        const std::vector<PayeeRule> rules {
            {MatchKind::Contains, "wal mart", "Walmart"},
            {MatchKind::Begins, "SQ *", "Joe's \"Best\" Coffee, Inc."},
            {MatchKind::Contains, "ACME\r\nCORP", "Acme"},
            {MatchKind::Exact, " caf\xC3\xA9 ", "Caf\xC3\xA9 \xE2\x82\xAC"},
            {MatchKind::Pattern, "^(AMZN|AMAZON)\\b", "Amazon, \"Mktp\""},
        };
        const std::string file = writeRulesCsv(rules);
        QVERIFY(file.starts_with("\xEF\xBB\xBFmatch,text,name\r\n"));
        const RulesFile read = readRulesCsv(file);
        QCOMPARE(QString::fromStdString(read.error), QString());
        QVERIFY(read.rules == rules);
        QVERIFY(readRulesCsv(writeRulesCsv({})).rules.empty());
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("as written by hand") << QByteArray("MATCH, Text ,name\nexact,acme,ACME\n\n,wal mart,Walmart")
                                            << "exact|acme|ACME\ncontains|wal mart|Walmart\n";
        QTest::newRow("columns in another order")
            << QByteArray("name,match,text\r\nWalmart,Begins,\"WAL, \"\"MART\"\"\"\r\n")
            << "begins|WAL, \"MART\"|Walmart\n";
        QTest::newRow("header only") << QByteArray("\xEF\xBB\xBFmatch,text,name\r\n") << "";

        QTest::newRow("empty file") << QByteArray("")
                                    << "Line 1: the file has no header; its first line must be \"match,text,name\".";
        QTest::newRow("header lacks a column")
            << QByteArray("match,text\nexact,a")
            << "Line 1: the header has no column \"name\"; it must be \"match,text,name\".";
        QTest::newRow("unknown column") << QByteArray("match,text,payee\n")
                                        << "Line 1, column 3: \"payee\" is not a column of rules.";
        QTest::newRow("column twice") << QByteArray("match,text,name,text\n")
                                      << "Line 1, column 4: the column \"text\" stands twice.";
        QTest::newRow("one field too many") << QByteArray("match,text,name\nexact,a,A\n\nexact,b,B,\n")
                                            << "Line 4, column 4: the record has 4 fields, not 3.";
        QTest::newRow("record cut short") << QByteArray("match,text,name\nexact,\"a\nb\"\n")
                                          << "Line 2, column 3 (name): the record ends after 2 fields of 3.";
        QTest::newRow("unknown kind") << QByteArray("text,name,match\na,A,contain\n")
                                      << "Line 2, column 3 (match): \"contain\" is not a way to match; use contains, "
                                         "begins, exact or pattern.";
        QTest::newRow("quote never closed") << QByteArray("match,text,name\nexact,a,A\nexact,\"b,B\nexact,c,C\n")
                                            << "Line 3: a quoted field opens here and is never closed.";
        QTest::newRow("pattern that does not compile")
            << QByteArray("match,name,text\nexact,A,a\npattern,W,WAL[MART\n")
            << "Line 3, column 3 (text): the rule has a pattern that does not compile: missing ]: [MART.";
        QTest::newRow("no name") << QByteArray("match,text,name\nexact,a,\" \"\n")
                                 << "Line 2, column 3 (name): the rule has no name to write.";
    }

    // A malformed file gives its error and not one rule, so an import changes nothing.
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QCOMPARE(readBack(file), expected);
    }
};

QTEST_APPLESS_MAIN(TestRulesCsv)
#include "tst_rules_csv.moc"
