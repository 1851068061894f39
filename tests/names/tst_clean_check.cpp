#include "names/statement_cleaner.h"
#include "statement/statement_check.h"
#include "support/samples.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <map>

using namespace scrivane;

// Kinds found, sorted, a count after those found more than once: "long-name*2 no-payee".
static QString summary(const std::vector<Finding>& findings)
{
    std::map<QString, int> kinds;
    for (const Finding& f : findings)
        ++kinds[QString::fromLatin1(kindWord(f.kind))];
    QStringList words;
    for (const auto& [kind, count] : kinds)
        words << (count > 1 ? kind + u'*' + QString::number(count) : kind);
    return words.join(u' ');
}

static QByteArray statement(const QByteArray& name, const QByteArray& form = "sgml")
{
    const QByteArray sgml = "OFXHEADER:100\nDATA:OFXSGML\nVERSION:102\nCHARSET:1252\n\n<OFX><SONRS><DTSERVER>20240105\n"
                            "</SONRS><STMTTRNRS><STMTRS><CURDEF>USD\n<BANKTRANLIST>\n<STMTTRN>\n<DTPOSTED>20240102\n"
                            "<TRNAMT>-1.00\n<FITID>1\n<NAME>"
        + name + "\n</STMTTRN>\n</BANKTRANLIST></STMTRS></STMTTRNRS></OFX>\n";
    if (form == "sgml")
        return sgml;
    // The XML form closes each value where the SGML form ends its line.
    static const QRegularExpression leaf("<(DTSERVER|CURDEF|DTPOSTED|TRNAMT|FITID|NAME)>([^\\n<]*)");
    const QString body = QString::fromLatin1(sgml.mid(sgml.indexOf("<OFX>"))).replace(leaf, "<\\1>\\2</\\1>");
    return "<?xml version=\"1.0\"?>\n<?OFX OFXHEADER=\"200\"?>\n" + body.toLatin1();
}

// Kinds and lines, in order: "no-payee@12 long-name@30".
static QString lines(const std::vector<Finding>& findings)
{
    QStringList words;
    for (const Finding& f : findings)
        words << QString::fromLatin1(kindWord(f.kind)) + u'@' + QString::number(f.line);
    return words.join(u' ');
}

class TestCleanCheck : public QObject
{
    Q_OBJECT

private slots:
    void cleaned_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("expected"); // kind@line, "!" after the kind when the clean fixes it
        const QByteArray longName = "ACME HARDWARE 1234567 12/03/2024 STORE";
        QTest::newRow("nothing to say") << statement("Acme") << Target::Other << "";
        QTest::newRow("identifier put in") << statement("Acme") << Target::Quicken << "bank-id-added@6";
        QTest::newRow("name shortened by the clean") << statement(longName) << Target::Other << "long-name!@13";
        QTest::newRow("name cleaned away") << statement("12345 67890") << Target::Other << "no-payee@9";
        QTest::newRow("XML converted") << statement("Acme", "xml") << Target::QuickBooks
                                       << "not-convertible!@1 converted@1 bank-id-added@3";
        QTest::newRow("XML kept") << statement("Caf\xC3\xA9 \xE2\x98\x83", "xml") << Target::QuickBooks
                                  << "not-convertible@1 bank-id-added@3";
    }

    // The findings of what is written, placed in the file as it came; those the clean mends are marked so.
    void cleaned()
    {
        QFETCH(QByteArray, input);
        QFETCH(Target, target);
        QFETCH(QString, expected);
        const std::string_view text(input.constData(), std::size_t(input.size()));
        SegmentList segments;
        std::string converted;
        const FormReport form = cleanStatement(text, converted, segments, target, NameOptions {}, LocaleRules::enUS());
        const std::string output = joinSegments(segments);
        const std::vector<Finding> found = checkCleaned({text, output, target, form.converted, form.notConverted});
        QStringList words;
        for (const Finding& f : found)
            words << QString::fromLatin1(kindWord(f.kind)) + (f.fixedByClean ? "!" : "") + u'@'
                    + QString::number(f.line);
        QCOMPARE(words.join(u' '), expected);
        if (!form.notConverted.empty())
            QVERIFY(findingText(found.front()).find(form.notConverted) != std::string::npos);
    }

    void corpus_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("why");
        // What Quicken would meet in each sample as it comes. Every error is explained by what libofx's ofxdump
        // and python3-ofxparse make of the same file; neither reader contradicts a finding here.
        // clang-format off
        const struct { const char *file, *expected, *why = ""; } files[] = {
            {"anzcc.ofx", "header-mismatch no-payee"},
            {"bank_medium.ofx", ""},
            {"checking.ofx", "long-name"},
            {"fidelity.ofx", ""},
            {"investment_medium.ofx", "no-payee*3"},
            {"multiple_accounts.ofx", "no-transactions*2"},
            {"ofx-v102-empty-tags.ofx", "no-currency no-fitid no-payee", "empty FITID; libofx reports 11 errors and ofxparse fails on it"},
            {"suncorp.ofx", "no-payee"},
            {"asgrim__ofx-multiple-accounts-xml.ofx", "no-transactions"},
            {"asgrim__ofxdata-banking-xml200.ofx", "bad-amount bad-date no-fitid no-payee", "the one transaction is \"*snipped*\": ofxparse: missing transaction amount; libofx 3 errors"},
            {"asgrim__ofxdata-bb-two-stmtrs.ofx", "no-payee*36 no-transactions"},
            {"asgrim__ofxdata-bb.ofx", "bad-charset no-payee"},
            {"asgrim__ofxdata-bpbfc.ofx", ""},
            {"asgrim__ofxdata-cmfr.ofx", ""},
            {"asgrim__ofxdata-credit-card.ofx", ""},
            {"asgrim__ofxdata-emptyDateTime.ofx", "no-payee*2"},
            {"asgrim__ofxdata-google.ofx", ""},
            {"asgrim__ofxdata-indented.ofx", ""},
            {"asgrim__ofxdata-investments-multiple-accounts-xml.ofx", ""},
            {"asgrim__ofxdata-investments-oneline-xml.ofx", ""},
            {"asgrim__ofxdata-investments-xml.ofx", "no-payee"},
            {"asgrim__ofxdata-memoWithAmpersand.ofx", "bare-ampersand*2 no-payee*16"},
            {"asgrim__ofxdata-memoWithQuotes.ofx", "no-payee*16"},
            {"asgrim__ofxdata-oneline-with-closing-tags.ofx", ""},
            {"asgrim__ofxdata-oneline.ofx", ""},
            {"asgrim__ofxdata-schwab-brokerage.ofx", ""},
            {"asgrim__ofxdata-selfclose.ofx", "no-payee*5"},
            {"asgrim__ofxdata-xml.ofx", ""},
            {"asgrim__ofxdata.ofx", ""},
            {"csv2ofx__amazon.ofx", ""},
            {"csv2ofx__default.ofx", ""},
            {"csv2ofx__default_w_splits.ofx", "no-statement", "transfers only (INTRARS): ofxparse finds no account, libofx errors"},
            {"csv2ofx__gls.ofx", ""},
            {"csv2ofx__ingesp.ofx", "long-name*2 no-payee"},
            {"csv2ofx__mint.ofx", "no-statement", "transfers only (INTRARS): ofxparse finds no account, libofx errors"},
            {"csv2ofx__n26.ofx", "no-payee*2"},
            {"csv2ofx__outbank.ofx", "long-name"},
            {"csv2ofx__payoneer.ofx", ""},
            {"csv2ofx__pcmastercard.ofx", "no-payee*2"},
            {"csv2ofx__schwab-checking-baltest-case1.ofx", "long-name"},
            {"csv2ofx__schwab-checking-baltest-case2.ofx", "long-name"},
            {"csv2ofx__schwab-checking-baltest-case3.ofx", "long-name"},
            {"csv2ofx__schwab-checking-baltest-case4.ofx", "long-name"},
            {"csv2ofx__schwab-checking-baltest-case5.ofx", "long-name"},
            {"csv2ofx__schwab-checking-baltest-case6.ofx", "long-name"},
            {"csv2ofx__schwab-checking-baltest-case7.ofx", ""},
            {"csv2ofx__schwab-checking-msmoney.ofx", ""},
            {"csv2ofx__schwab-checking.ofx", "long-name"},
            {"csv2ofx__stripe-all.ofx", ""},
            {"csv2ofx__stripe-default.ofx", "no-payee*4"},
            {"csv2ofx__transaction_example.ofx", ""},
            {"csv2ofx__transfer_example.ofx", "no-statement", "transfers only (INTRARS): ofxparse finds no account, libofx errors"},
            {"libofx__another-example.xml", ""},
            {"libofx__downcast.ofx", "no-currency no-sign-on no-transactions", "a fuzzed file without SONRS; libofx errors"},
            {"libofx__example-listing1.xml", "bare-ampersand duplicate-fitid", "two transactions with one FITID: ofxparse reads two transactions and one id"},
            {"libofx__example-listing2.xml", "duplicate-fitid", "two transactions with one FITID: ofxparse reads two transactions and one id"},
            {"libofx__failing-ofx-file1.xml", "no-sign-on no-statement", "a broken file; libofx errors, ofxparse fails"},
            {"libofx__failing-ofx-file2.xml", "no-statement sign-on-not-closed", "a broken file; libofx errors, ofxparse fails"},
            {"libofx__heap-buffer-overflow-1.ofx", "no-currency no-sign-on no-transactions", "a fuzzed file without SONRS; libofx errors"},
            {"libofx__heap-buffer-overflow-2.ofx", "no-sign-on no-statement", "a fuzzed file; libofx errors, ofxparse fails"},
            {"libofx__null-ptr-deref-1.ofx", "no-sign-on no-statement", "a fuzzed file; libofx errors, ofxparse finds no account"},
            {"libofx__null-ptr-deref-2.ofx", "no-sign-on no-statement", "a fuzzed file; libofx errors, ofxparse finds no account"},
            {"libofx__ofx-2.1.1-sect-13.12.ofx", ""},
            {"libofx__ofx-2.1.1-sect-13.13.ofx", ""},
            {"libofx__ofx-2.1.1-sect-16.5.3.2.ofx", ""},
            {"libofx__ofx-2.1.1-sect-16.5.4.2.ofx", "no-transactions"},
            {"libofx__ofx-2.1.1-sect-16.5.6.2.ofx", ""},
            {"libofx__ofx-2.1.1-sect-16.5.6.5.ofx", "header-mismatch"},
            {"libofx__ofx-2.1.1-sect-8.5.5.ofx", "no-statement", "an account-information response: ofxparse finds no transaction"},
            {"libofx__ofx_spec160_stmtrs_example.sgml", "no-payee*2"},
            {"libofx__ofx_spec201_stmtrs_example.xml", "no-payee*2"},
            {"libofx__use-after-free.ofx", "bad-amount bad-date no-currency no-fitid no-payee no-sign-on", "a fuzzed file; libofx errors, ofxparse: the file is empty"},
        };
        // clang-format on
        if (!samples::haveCorpus())
            QSKIP(samples::noCorpus);
        const QDir top(samples::corpusDir()), real(samples::corpusDir() + "/real");
        QStringList present
            = top.entryList({"*.ofx"}, QDir::Files) + real.entryList({"*.ofx", "*.xml", "*.sgml"}, QDir::Files);
        present.sort();
        QStringList listed;
        for (const auto& f : files)
            listed << f.file;
        listed.sort();
        QCOMPARE(listed, present);
        for (const auto& f : files) {
            const QString path = top.exists(f.file) ? top.filePath(f.file) : real.filePath(f.file);
            QTest::newRow(f.file) << path << QString(f.expected) << QString(f.why);
        }
    }

    void corpus()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        QFETCH(QString, why);
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray input = in.readAll();
        const std::string_view text(input.constData(), std::size_t(input.size()));
        const std::vector<Finding> found = checkStatement(text, Target::Quicken);
        QCOMPARE(summary(found), expected);
        const bool error
            = std::any_of(found.begin(), found.end(), [](const Finding& f) { return f.level == FindingLevel::Error; });
        QVERIFY2(!error || !why.isEmpty(), "an error in a sample needs its explanation in the table");

        // The clean brings no new error into any sample, for any target, and every
        // finding points into the file.
        const qsizetype lineCount = input.count('\n') + 1;
        for (Target target : {Target::QuickBooks, Target::Quicken, Target::Other}) {
            SegmentList segments;
            std::string converted;
            const FormReport form
                = cleanStatement(text, converted, segments, target, NameOptions {}, LocaleRules::enUS());
            const std::string output = joinSegments(segments);
            const std::vector<Finding> after = checkCleaned({text, output, target, form.converted, form.notConverted});
            // What the programs check after a clean, without joining what they write,
            // from the list itself or from its pieces gathered for another thread.
            const QString joined = lines(checkStatement(output, target, form.notConverted));
            QCOMPARE(lines(checkStatement(segments, target, form.notConverted)), joined);
            std::vector<std::string_view> pieces;
            segments.forEachPiece([&pieces](std::string_view piece) { pieces.push_back(piece); });
            QCOMPARE(lines(checkStatement(pieces, target, form.notConverted)), joined);
            const std::vector<Finding> before = checkStatement(text, target);
            for (const Finding& f : after) {
                QVERIFY(f.line >= 1 && qsizetype(f.line) <= lineCount);
                if (f.level != FindingLevel::Error || f.fixedByClean)
                    continue;
                const bool known
                    = std::any_of(before.begin(), before.end(), [&f](const Finding& b) { return b.sameAs(f); });
                QVERIFY2(known, findingText(f).c_str());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCleanCheck)
#include "tst_clean_check.moc"
