#include "statement/check_values.h"
#include "statement/finding_format.h"
#include "statement/statement_check.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <random>

using namespace scrivane;

// The smallest statement the targets import, written with SGML tags: a leaf is
// "<TAG>value" on a line of its own. xml() closes every leaf written in upper
// case, so a row can leave one open with a lower-case tag.
static const QByteArray body = "<OFX>\n"
                               "<SIGNONMSGSRSV1>\n"
                               "<SONRS>\n"
                               "<DTSERVER>20240105\n"
                               "</SONRS>\n"
                               "</SIGNONMSGSRSV1>\n"
                               "<BANKMSGSRSV1>\n"
                               "<STMTTRNRS>\n"
                               "<STMTRS>\n"
                               "<CURDEF>USD\n"
                               "<BANKTRANLIST>\n"
                               "<STMTTRN>\n"
                               "<DTPOSTED>20240102\n"
                               "<TRNAMT>-1.00\n"
                               "<FITID>1\n"
                               "<NAME>Acme\n"
                               "</STMTTRN>\n"
                               "<STMTTRN>\n"
                               "<DTPOSTED>20240103\n"
                               "<TRNAMT>2.50\n"
                               "<FITID>2\n"
                               "<NAME>Bolt\n"
                               "</STMTTRN>\n"
                               "</BANKTRANLIST>\n"
                               "</STMTRS>\n"
                               "</STMTTRNRS>\n"
                               "</BANKMSGSRSV1>\n"
                               "</OFX>\n";

static const QByteArray sgmlHeader = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nENCODING:USASCII\nCHARSET:1252\n\n";
static const QByteArray xmlHeader
    = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?OFX OFXHEADER=\"200\" VERSION=\"211\"?>\n";

static QByteArray sgml(const QByteArray& b)
{
    return sgmlHeader + b;
}

static QByteArray xml(const QByteArray& b)
{
    QByteArray out = xmlHeader;
    for (const QByteArray& line : b.split('\n')) {
        out += line;
        const qsizetype close = line.indexOf('>');
        const QByteArray tag = line.mid(1, close - 1);
        if (line.startsWith('<') && close + 1 < line.size() && tag == tag.toUpper() && !tag.startsWith('?'))
            out += "</" + tag + ">";
        out += '\n';
    }
    return out.chopped(1);
}

static std::vector<Finding> findingsOf(const QByteArray& text, Target target = Target::Quicken)
{
    return checkStatement({text.constData(), std::size_t(text.size())}, target);
}

static QString describe(const std::vector<Finding>& findings)
{
    QStringList words;
    for (const Finding& f : findings)
        words << QString::fromLatin1(kindWord(f.kind)) + u'@' + QString::number(f.line);
    return words.join(u' ');
}

Q_DECLARE_METATYPE(FindingKind)

class TestStatementCheck : public QObject
{
    Q_OBJECT

private slots:
    void finding_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("sgmlFinding"); // "kind@line in the body", empty for none
        QTest::addColumn<QString>("xmlFinding");
        const QByteArray second = "<STMTTRN>\n<DTPOSTED>20240103\n<TRNAMT>2.50\n<FITID>2\n<NAME>Bolt\n</STMTTRN>\n";
        const QByteArray both
            = "<STMTTRN>\n<DTPOSTED>20240102\n<TRNAMT>-1.00\n<FITID>1\n<NAME>Acme\n</STMTTRN>\n" + second;
        // clang-format off
        const struct { const char* name; QByteArray from, to; const char *sgml, *xml; } rows[] = {
            {"as downloaded", "", "", "", ""},
            {"no sign-on", "<SONRS>\n<DTSERVER>20240105\n</SONRS>\n", "", "no-sign-on@-5", "no-sign-on@-1"},
            {"sign-on not closed", "</SONRS>\n", "", "sign-on-not-closed@3", "sign-on-not-closed@3"},
            {"sign-on closed after the statement", "</SONRS>\n</SIGNONMSGSRSV1>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n",
             "</SIGNONMSGSRSV1>\n<BANKMSGSRSV1>\n<STMTTRNRS>\n</SONRS>\n", "sign-on-not-closed@3", "sign-on-not-closed@3"},
            {"no statement", "<STMTRS>\n", "<STMTX>\n", "no-statement@-5", "no-statement@-1"},
            {"no FITID", "<FITID>2\n", "", "no-fitid@18", "no-fitid@18"},
            {"empty FITID", "<FITID>2\n", "<FITID>\n", "no-fitid@18", "no-fitid@18"},
            {"FITID twice", "<FITID>2", "<FITID>1", "duplicate-fitid@18", "duplicate-fitid@18"},
            {"FITID twice in two statements", "</STMTRS>\n", "</STMTRS>\n<STMTRS>\n<CURDEF>USD\n" + both + "</STMTRS>\n",
             "", ""},
            {"date with dashes", "<DTPOSTED>20240103", "<DTPOSTED>2024-01-03", "bad-date@19", "bad-date@19"},
            {"month 13", "<DTPOSTED>20240103", "<DTPOSTED>20241303", "bad-date@19", "bad-date@19"},
            {"date, time, zone", "<DTPOSTED>20240103", "<DTPOSTED>20240103101500.000[-5:EST]", "", ""},
            {"no date", "<DTPOSTED>20240103\n", "", "bad-date@18", "bad-date@18"},
            {"amount with a space", "<TRNAMT>2.50", "<TRNAMT>2 50", "bad-amount@20", "bad-amount@20"},
            {"amount with a currency", "<TRNAMT>2.50", "<TRNAMT>$2.50", "bad-amount@20", "bad-amount@20"},
            {"amount with a comma", "<TRNAMT>2.50", "<TRNAMT>+2,50", "", ""},
            {"no amount", "<TRNAMT>2.50\n", "", "bad-amount@18", "bad-amount@18"},
            {"name of 33", "<NAME>Bolt", "<NAME>" + QByteArray(33, 'x'), "long-name@22", "long-name@22"},
            {"name of 32", "<NAME>Bolt", "<NAME>" + QByteArray(30, 'x') + "&amp;y", "", ""},
            {"payee's name of 33", "<NAME>Bolt\n", "<PAYEE>\n<NAME>" + QByteArray(33, 'x') + "\n</PAYEE>\n",
             "long-name@23", "long-name@23"},
            {"no name", "<NAME>Bolt\n", "", "no-payee@18", "no-payee@18"},
            {"empty name", "<NAME>Bolt\n", "<NAME>\n", "no-payee@18", "no-payee@18"},
            {"payee instead of name", "<NAME>Bolt\n", "<PAYEE>\n<NAME>Bolt\n</PAYEE>\n", "", ""},
            {"no transactions", both, "", "no-transactions@9", "no-transactions@9"},
            {"no currency", "<CURDEF>USD\n", "", "no-currency@9", "no-currency@9"},
            {"empty currency", "<CURDEF>USD\n", "<CURDEF>\n", "no-currency@9", "no-currency@9"},
            // A bare "&" makes an XML statement unreadable as a whole, which the XML reader reports.
            {"bare ampersand", "<NAME>Bolt", "<NAME>Bolt & Nut & Co", "bare-ampersand@22", ""},
            {"written ampersand", "<NAME>Bolt", "<NAME>Bolt &amp; Nut &#38; Co", "", ""},
            {"UTF-8 letters", "<NAME>Bolt", "<NAME>Caf\xC3\xA9", "bad-charset@22", ""},
            {"Windows-1252 letters", "<NAME>Bolt", "<NAME>Caf\xE9", "", "bad-charset@22"},
            {"XML declaration in an SGML statement", "<OFX>\n", "<?xml version=\"1.0\"?>\n<OFX>\n",
             "header-mismatch@1", ""},
            {"element without end tag in XML", "<NAME>Bolt\n", "<name>Bolt\n", "", "header-mismatch@22"},
        };
        // clang-format on
        for (const auto& r : rows)
            QTest::newRow(r.name) << r.from << r.to << QString(r.sgml) << QString(r.xml);
    }

    // Each fault alone gives its finding and nothing else, at its line, in both forms.
    void finding()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, sgmlFinding);
        QFETCH(QString, xmlFinding);
        QByteArray faulty = body;
        if (!from.isEmpty()) {
            QVERIFY(faulty.contains(from));
            faulty.replace(from, to);
        }
        // Lines are given in the body; the header comes before them.
        auto expected = [](const QString& finding, const QByteArray& header) {
            if (finding.isEmpty())
                return finding;
            const qsizetype at = finding.indexOf(u'@');
            return finding.left(at + 1) + QString::number(finding.mid(at + 1).toInt() + header.count('\n'));
        };
        QCOMPARE(describe(findingsOf(sgml(faulty))), expected(sgmlFinding, sgmlHeader));
        QCOMPARE(describe(findingsOf(xml(faulty))), expected(xmlFinding, xmlHeader));
        // CR LF and CR alone end lines as LF does.
        for (const char* lineEnd : {"\r\n", "\r"}) {
            const QByteArray text = sgml(faulty).replace("\n", lineEnd);
            QCOMPARE(describe(findingsOf(text)), expected(sgmlFinding, sgmlHeader));
        }
    }

    void placeAndIdentity()
    {
        QByteArray faulty = body;
        faulty.replace("<FITID>2", "<FITID>1");
        const std::vector<Finding> found = findingsOf(sgml(faulty));
        QCOMPARE(found.size(), std::size_t(1));
        const Finding& f = found.front();
        QCOMPARE(f.level, FindingLevel::Error);
        QCOMPARE(f.account, std::size_t(1));
        QCOMPARE(f.transaction, std::size_t(2));
        QCOMPARE(f.fitid, std::string("1"));
        QVERIFY(!findingText(f).empty() && !findingAdvice(f).empty());
        // The same fault in the other form is the same finding.
        QVERIFY(findingsOf(xml(faulty)).front().sameAs(f));
    }

    // After a clean its user hears of the errors first. A transaction without a payee, and an XML statement that
    // QuickBooks gets unconverted (which the clean tells of itself), are left to a check asked for.
    void toldAfterAClean()
    {
        QByteArray faulty = body;
        faulty.replace("<NAME>Acme", "<NAME>" + QByteArray(33, 'A')).replace("<FITID>2", "<FITID>1");
        const std::vector<Finding> found = findingsOf(xml(faulty.replace("<NAME>Bolt\n", "")), Target::QuickBooks);
        QCOMPARE(describe(found), QString("not-convertible@1 long-name@18 no-payee@20 duplicate-fitid@20"));
        QCOMPARE(describe(findingsToTell(found)), QString("duplicate-fitid@20 long-name@18"));
    }

    void forQuickBooks()
    {
        // QuickBooks reads only the SGML form: an XML statement is an error until the clean converts it.
        QCOMPARE(describe(findingsOf(xml(body), Target::QuickBooks)), QString("not-convertible@1"));
        QCOMPARE(describe(findingsOf(sgml(body), Target::QuickBooks)), QString());
    }

    void values_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("date");
        QTest::addColumn<bool>("amount");
        // clang-format off
        const struct { const char* value; bool date, amount; } rows[] = {
            {"20240131", true, true}, {"20240131235960", true, true}, {"20240131120000.123", true, true},
            {"20240131120000.123[+5.30:IST]", true, false}, {"20240131[0:GMT]", true, false},
            {"20240131[-5]", true, false}, {"2024013", false, true}, {"202401311200", false, true},
            {"20240132", false, true}, {"20240131246000", false, true}, {"20240131120000.1", false, true},
            {"20240131[-5:]", false, false}, {"20240131.123", false, true}, {"20240131120000.123x", false, false},
            {"20240131120000.1234", false, true}, {"20240131 ", false, false}, {"20240131[x]", false, false}, {"", false, false},
            {"-12.50", false, true}, {"+.5", false, true}, {"12,5", false, true}, {"1.000,00", false, false},
            {"1e3", false, false}, {"-", false, false}, {"--1", false, false},
            {"123456789012345678901234567890123", false, false},
        };
        // clang-format on
        for (const auto& r : rows)
            QTest::newRow(r.value[0] ? r.value : "empty") << QByteArray(r.value) << r.date << r.amount;
    }

    void values()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, date);
        QFETCH(bool, amount);
        const std::string_view v(value.constData(), std::size_t(value.size()));
        QCOMPARE(isOfxDate(v), date);
        QCOMPARE(isOfxAmount(v), amount);
    }

    // Line ends and high bytes are found many bytes at a step: each length and
    // each place of a CR, LF or high byte, across the steps' edges, must give
    // what one byte at a time gives.
    void manyBytesAtAStep()
    {
        std::mt19937 random(7);
        const char bytes[] = {'a', '\r', '\n', '\xE9'};
        for (std::size_t length = 0; length < 80; ++length) {
            for (int round = 0; round < 40; ++round) {
                std::string text(length + 1, 'a');
                for (char& c : text)
                    c = bytes[random() % (round % 4 == 0 ? 4 : 3)];
                // From an odd place too, so that no step is aligned.
                const std::string_view view = std::string_view(text).substr(1);
                std::size_t lines = 0;
                std::size_t high = std::string_view::npos;
                for (std::size_t i = 0; i < view.size(); ++i) {
                    lines += view[i] == '\n' || (view[i] == '\r' && (i + 1 == view.size() || view[i + 1] != '\n'));
                    if (high == std::string_view::npos && static_cast<unsigned char>(view[i]) >= 0x80)
                        high = i;
                }
                QCOMPARE(check::countLineBreaks(view), lines);
                QCOMPARE(check::firstHighByte(view, 0), high);
            }
        }
    }

    // Editors and scripts read these lines; JSON must stay valid whatever bytes the statement holds.
    void formats()
    {
        QByteArray faulty = body;
        faulty.replace("<FITID>2", "<FITID>1\xE9\"");
        faulty.replace("<FITID>1\n", "<FITID>1\xE9\"\n");
        const std::vector<Finding> found = findingsOf(sgml(faulty));
        QCOMPARE(found.size(), std::size_t(1));
        const std::string line = compilerLine("a b.ofx", found.front());
        QVERIFY2(line.starts_with("a b.ofx:24: error: transaction 2 (FITID 1\xE9\") of statement 1: "), line.c_str());
        QVERIFY(line.find('\n') == std::string::npos);
        QJsonParseError error;
        const QJsonDocument json
            = QJsonDocument::fromJson(QByteArray::fromStdString(jsonLine("a\\b.ofx", found.front())), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject o = json.object();
        QCOMPARE(o["file"].toString(), QString("a\\b.ofx"));
        QCOMPARE(o["line"].toInt(), 24);
        QCOMPARE(o["kind"].toString(), QString("duplicate-fitid"));
        QCOMPARE(o["fitid"].toString(), QString::fromLatin1("1\xE9\""));
        QCOMPARE(o["fixedByClean"].toBool(), false);
    }
};

QTEST_GUILESS_MAIN(TestStatementCheck)
#include "tst_statement_check.moc"
