#include "rule_rows.h"

#include <QTest>

using namespace scrivane;

class TestPayeeRules : public QObject
{
    Q_OBJECT

private slots:
    // Which rule, counting from 1, a name (UTF-8, as decoded from its statement) gets; 0 for none.
    void firstMatch_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("expected");
        QTest::newRow("contains: any order, any case")
            << "contains|mart wal|W" << QByteArray("POS WAL MART 03/15") << 1;
        QTest::newRow("contains: whole words only") << "contains|wal mart|W" << QByteArray("WALMART SUPERCTR") << 0;
        QTest::newRow("contains: every word needed") << "contains|wal mart|W" << QByteArray("WAL GREENS") << 0;
        QTest::newRow("contains: punctuation splits words")
            << "contains|netflix|N" << QByteArray("PAYPAL *NETFLIX.COM") << 1;
        QTest::newRow("contains: letters beyond ASCII, folded")
            << "contains|caf\xC3\xA9|C" << QByteArray("CAF\xC3\x89 NERO") << 1;
        QTest::newRow("contains: accent matters") << "contains|cafe|C" << QByteArray("CAF\xC3\x89") << 0;
        QTest::newRow("begins") << "begins|sq *|S" << QByteArray("SQ *COFFEE") << 1;
        QTest::newRow("begins: runs of blanks as one")
            << "begins|pos  purchase|P" << QByteArray("POS\tPURCHASE X") << 1;
        QTest::newRow("begins: not inside") << "begins|mart|M" << QByteArray("WAL MART") << 0;
        QTest::newRow("begins: trailing space asks for a word") << "begins|amzn |A" << QByteArray("AMZNMKTP") << 0;
        QTest::newRow("begins: shorter name") << "begins|amazon prime|A" << QByteArray("AMAZON") << 0;
        QTest::newRow("exact: spaces and case") << "exact|acme  corp|A" << QByteArray("  ACME   CORP\r\n") << 1;
        QTest::newRow("exact: whole name only") << "exact|acme|A" << QByteArray("ACME CORP") << 0;
        QTest::newRow("pattern: searched") << "pattern|WAL-?MART|W" << QByteArray("POS WAL-MART #4411") << 1;
        QTest::newRow("pattern: letter case as written") << "pattern|wal-?mart|W" << QByteArray("WALMART") << 0;
        QTest::newRow("pattern: (?i)") << "pattern|(?i)wal-?mart|W" << QByteArray("WALMART") << 1;
        QTest::newRow("pattern: anchors at the trimmed name") << "pattern|^ACME$|A" << QByteArray("ACME\r\n") << 1;
        // First match wins by the user's order, whichever index finds it.
        QTest::newRow("order: pattern before contains")
            << "contains|wal|C\npattern|MART|P\ncontains|wal mart|W" << QByteArray("WAL MART") << 1;
        QTest::newRow("order: later kinds lose")
            << "pattern|X|P\nexact|wal mart|E\nbegins|wal|B\ncontains|mart|C\npattern|MART|P" << QByteArray("WAL MART")
            << 2;
        QTest::newRow("order: begins, shorter prefix later")
            << "begins|wal mart|L\nbegins|wal|S" << QByteArray("WAL MART 1") << 1;
        QTest::newRow("order: begins, longer prefix later")
            << "begins|wal|S\nbegins|wal mart|L" << QByteArray("WAL MART 1") << 1;
        QTest::newRow("order: duplicate exact") << "exact|a|1\nexact|A|2" << QByteArray("a") << 1;
        // A contains rule is found through its rarest word; an earlier rule under a common word still wins.
        QTest::newRow("order: rule under another word")
            << "contains|the shop|S\ncontains|the|T\ncontains|the|U" << QByteArray("THE SHOP") << 1;
        QTest::newRow("order: common word rule") << "contains|the shop|S\ncontains|the|T" << QByteArray("THE") << 2;
        QTest::newRow("no rule matches") << "begins|x|X\nexact|y|Y\ncontains|z|Z\npattern|q|Q" << QByteArray("ACME")
                                         << 0;
    }

    void firstMatch()
    {
        QFETCH(QString, rules);
        QFETCH(QByteArray, name);
        QFETCH(int, expected);
        const RuleSet set = compiledRules(rules);
        RuleMatcher matcher(set);
        const std::optional<std::size_t> found = matcher.firstMatch(name.toStdString());
        QCOMPARE(found ? int(*found) + 1 : 0, expected);
    }

    // A rule that cannot be used stops the whole set, named by its number.
    void unusable_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("message");
        QTest::newRow("pattern does not compile")
            << "contains|a|A\npattern|WAL[MART|W"
            << "Rule 2 (pattern \"WAL[MART\") has a pattern that does not compile: missing ]: [MART.";
        QTest::newRow("no name") << "exact|acme|  "
                                 << "Rule 1 (exact \"acme\") has no name to write.";
        QTest::newRow("no word") << "contains|*-*|X"
                                 << "Rule 1 (contains \"*-*\") has no word to look for.";
        QTest::newRow("nothing to begin with") << "begins| \t|X"
                                               << "Rule 1 (begins \" \t\") has no text to look for.";
        QTest::newRow("line break in the name")
            << "exact|a|A\\nB"
            << "Rule 1 (exact \"a\") has a line break or another control character in its name.";
    }

    void unusable()
    {
        QFETCH(QString, rules);
        QFETCH(QString, message);
        auto result = RuleSet::compile(parseRules(rules));
        QVERIFY(std::holds_alternative<RuleError>(result));
        QCOMPARE(QString::fromStdString(std::get<RuleError>(result).message), message);
    }

    // A value as it stands in a statement, matched and replaced by the first rule.
    void rename_data()
    {
        QTest::addColumn<int>("charset");
        QTest::addColumn<bool>("xml");
        QTest::addColumn<bool>("cdata");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QByteArray>("expected"); // "!" and the start of the failure when it fails
        const int ascii = int(Charset::Ascii), cp1252 = int(Charset::Windows1252), utf8 = int(Charset::Utf8);
        QTest::newRow("1252 name, UTF-8 rule") << cp1252 << false << false << QByteArray("CAF\xC9 M\xC9TRO\r\n")
                                               << "contains|caf\xC3\xA9|Caf\xC3\xA9" << QByteArray("Caf\xE9\r\n");
        QTest::newRow("UTF-8 name") << utf8 << true << false << QByteArray("CAF\xC3\x89")
                                    << "exact|caf\xC3\xA9|\xE2\x82\xAC Caf\xC3\xA9"
                                    << QByteArray("\xE2\x82\xAC Caf\xC3\xA9");
        QTest::newRow("undeclared set: 1252 bytes")
            << ascii << false << false << QByteArray("CAF\xC9") << "exact|caf\xC3\xA9|Cafe" << QByteArray("Cafe");
        QTest::newRow("undeclared set: UTF-8 bytes")
            << ascii << false << false << QByteArray("CAF\xC3\x89") << "exact|caf\xC3\xA9|Cafe" << QByteArray("Cafe");
        QTest::newRow("entities read as text") << ascii << false << false << QByteArray("AT&amp;T &#38; B&LT;G")
                                               << "exact|at&t & b<g|AT&T" << QByteArray("AT&amp;T");
        QTest::newRow("CDATA read as it stands")
            << utf8 << true << true << QByteArray("A&amp;B<C") << "exact|a&amp;b<c|A<B & C>" << QByteArray("A<B & C>");
        QTest::newRow("escaped for XML") << utf8 << true << false << QByteArray("X") << "exact|x|A<B & C>"
                                         << QByteArray("A&lt;B &amp; C&gt;");
        QTest::newRow("escaped for SGML, line end kept") << cp1252 << false << false << QByteArray("X\r\n\t")
                                                         << "exact|x| A<B & C> " << QByteArray("A&lt;B &amp; C>\r\n\t");
        QTest::newRow("XML keeps no line end")
            << utf8 << true << false << QByteArray("X\n") << "exact|x|Y" << QByteArray("Y");
        QTest::newRow("]]> inside CDATA")
            << utf8 << true << true << QByteArray("X") << "exact|x|a]]>b" << QByteArray("a]]]]><![CDATA[>b");
        QTest::newRow("1252 holds the euro")
            << cp1252 << false << false << QByteArray("X") << "exact|x|\xE2\x82\xAC" << QByteArray("\x80");
        QTest::newRow("1252 lacks the character")
            << cp1252 << false << false << QByteArray("X") << "exact|a|A\nexact|x|Caf\xC3\xA9 \xE2\x86\x92"
            << QByteArray("!Rule 2 (exact \"x\") cannot write its name \"Caf\xC3\xA9 \xE2\x86\x92\" in this statement: "
                          "the character \"\xE2\x86\x92\" (U+2192) has no place in Windows-1252");
        QTest::newRow("ASCII lacks the character")
            << ascii << false << false << QByteArray("X") << "exact|x|Caf\xC3\xA9"
            << QByteArray("!Rule 1 (exact \"x\") cannot write its name \"Caf"
                          "\xC3\xA9\" in this statement: the character "
                          "\"\xC3\xA9\" (U+00E9) has no place in ASCII");
    }

    void rename()
    {
        QFETCH(int, charset);
        QFETCH(bool, xml);
        QFETCH(bool, cdata);
        QFETCH(QByteArray, value);
        QFETCH(QString, rules);
        QFETCH(QByteArray, expected);
        const RuleSet set = compiledRules(rules);
        PayeeRenamer renamer(set, Charset(charset), xml);
        const std::string raw = value.toStdString();
        const std::optional<std::size_t> rule = renamer.match(raw, cdata);
        QVERIFY(rule);
        const std::optional<std::string_view> written = renamer.write(*rule, raw, cdata);
        if (expected.startsWith('!')) {
            QVERIFY(!written);
            QVERIFY2(renamer.failure().starts_with(expected.mid(1).toStdString()), renamer.failure().c_str());
        } else {
            QVERIFY2(written, renamer.failure().c_str());
            QCOMPARE(QByteArray::fromStdString(std::string(*written)), expected);
        }
    }
};

QTEST_APPLESS_MAIN(TestPayeeRules)
#include "tst_payee_rules.moc"
