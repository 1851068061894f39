#include "generator/statement_generator.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace scrivane::gen;

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Form)
Q_DECLARE_METATYPE(Layout)

namespace {

QByteArray generate(const StatementOptions& options)
{
    std::FILE* file = std::tmpfile();
    if (!file)
        return {};
    writeStatement(options, file);
    QByteArray bytes(static_cast<qsizetype>(std::ftell(file)), '\0');
    std::rewind(file);
    const std::size_t read = std::fread(bytes.data(), 1, static_cast<std::size_t>(bytes.size()), file);
    std::fclose(file);
    bytes.truncate(static_cast<qsizetype>(read));
    return bytes;
}

StatementOptions options(Kind kind, Form form, Layout layout, long long count, std::uint64_t seed)
{
    StatementOptions o;
    o.kind = kind;
    o.form = form;
    o.layout = layout;
    o.count = count;
    o.seed = seed;
    return o;
}

} // namespace

class GenStatementTest : public QObject
{
    Q_OBJECT

private slots:
    void readsCleanlyInLibofx_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Form>("form");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<int>("names"); // of 60 transactions
        const std::pair<const char*, Kind> kinds[]
            = {{"bank", Kind::Bank}, {"cc", Kind::CreditCard}, {"invest", Kind::Investment}};
        for (const auto& [label, kind] : kinds) {
            const int names = kind == Kind::Investment ? 60 - 60 / 4 : 60;
            QTest::addRow("%s sgml lines", label) << kind << Form::Sgml << Layout::Lines << names;
            QTest::addRow("%s sgml packed", label) << kind << Form::Sgml << Layout::Packed << names;
            QTest::addRow("%s sgml mixed", label) << kind << Form::Sgml << Layout::Mixed << names;
            QTest::addRow("%s xml", label) << kind << Form::Xml << Layout::Lines << names;
        }
    }

    // libofx is the reference reader here: no parser error, and every transaction
    // and payee name comes through.
    void readsCleanlyInLibofx()
    {
        QFETCH(Kind, kind);
        QFETCH(Form, form);
        QFETCH(Layout, layout);
        QFETCH(int, names);
        const QString ofxdump = QStandardPaths::findExecutable("ofxdump");
        if (ofxdump.isEmpty())
            QSKIP("ofxdump (Debian package ofx) is not installed");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile file(dir.filePath("statement.ofx"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        StatementOptions o = options(kind, form, layout, 60, 42);
        o.cdataNames = form == Form::Xml;
        o.bankId = true;
        file.write(generate(o));
        file.close();

        QProcess dump;
        dump.start(ofxdump, {file.fileName()});
        QVERIFY(dump.waitForFinished(60000));
        const QString out = QString::fromUtf8(dump.readAllStandardOutput());
        const QString err = QString::fromUtf8(dump.readAllStandardError());
        QCOMPARE(dump.exitCode(), 0);
        QVERIFY2(!err.contains("LibOFX ERROR") && !err.contains(":E: "), qPrintable(err.left(2000)));
        QCOMPARE(out.count("ofx_proc_transaction():"), 60);
        QCOMPARE(out.count("Name of payee or transaction description:"), names);
    }

    void sameSeedSameBytes()
    {
        StatementOptions a = options(Kind::Investment, Form::Xml, Layout::Lines, 200, 7);
        a.cdataNames = true;
        a.accents = true;
        StatementOptions b = a;
        QCOMPARE(generate(a), generate(b));
        b.seed = 8;
        QVERIFY(generate(a) != generate(b));
    }

    void lineEnds_data()
    {
        QTest::addColumn<Form>("form");
        QTest::addColumn<Layout>("layout");
        QTest::newRow("sgml lines") << Form::Sgml << Layout::Lines;
        QTest::newRow("sgml packed") << Form::Sgml << Layout::Packed;
        QTest::newRow("xml") << Form::Xml << Layout::Lines;
    }

    void lineEnds()
    {
        QFETCH(Form, form);
        QFETCH(Layout, layout);
        const QByteArray text = generate(options(Kind::Bank, form, layout, 50, 3));
        const qsizetype lines = text.count('\n');
        QVERIFY(lines > (layout == Layout::Packed ? 50 : 400));
        if (form == Form::Sgml) {
            QCOMPARE(text.count("\r\n"), lines);
            QVERIFY(text.startsWith("OFXHEADER:100\r\n"));
        } else {
            QCOMPARE(text.count('\r'), 0);
            QVERIFY(text.startsWith("<?xml "));
            QCOMPARE(text.count("<NAME>"), text.count("</NAME>"));
        }
    }

    // The benchmarks lean on these shapes being there: every rule of the name
    // cleaner has names to work on.
    void namesHaveTheMessyShapesOfRealFiles()
    {
        StatementOptions o = options(Kind::Bank, Form::Xml, Layout::Lines, 3000, 5);
        o.cdataNames = true;
        o.accents = true;
        const QByteArray text = generate(o);
        QStringList names;
        static const QRegularExpression nameElement("<NAME>(?:<!\\[CDATA\\[)?(.*?)(?:\\]\\]>)?</NAME>");
        for (const auto& match : nameElement.globalMatch(QString::fromUtf8(text)))
            names << match.captured(1);
        QCOMPARE(names.size(), 3000);

        const std::pair<const char*, const char*> shapes[] = {
            {"card prefix", "^POS "},
            {"ACH prefix", "^ACH (DEBIT|CREDIT) "},
            {"# code", "#\\d{6}\\b"},
            {"month and day", "\\b\\d\\d/\\d\\d\\b"},
            {"full date", "\\b\\d\\d/\\d\\d/\\d{4}\\b"},
            {"trailing number", " \\d+$"},
            {"repeated word", "\\b(\\w+) \\1\\b"},
            {"cheque", "^CHECK \\d+$"},
            {"Mc", "\\bMC[A-Z]"},
            {"O'", "\\bO'[A-Z]"},
            {"LLC", " LLC$"},
            {"escaped ampersand", "&amp;"},
            {"over 32 characters", "^.{33,}$"},
            {"letters outside ASCII", "[^\\x00-\\x7F]"},
        };
        for (const auto& [what, pattern] : shapes) {
            const QRegularExpression shape(pattern);
            QVERIFY2(
                std::any_of(names.begin(), names.end(), [&](const QString& n) { return shape.match(n).hasMatch(); }),
                what);
        }
        QVERIFY(text.contains("<![CDATA["));
    }

    // A 100k-transaction bank statement is meant to weigh about 16 MB.
    void bankStatementSize()
    {
        const QByteArray text = generate(options(Kind::Bank, Form::Sgml, Layout::Lines, 2000, 1));
        const double perTransaction = static_cast<double>(text.size()) / 2000;
        QVERIFY2(perTransaction > 150 && perTransaction < 170, qPrintable(QString::number(perTransaction)));
    }
};

QTEST_APPLESS_MAIN(GenStatementTest)
#include "genstatement_test.moc"
