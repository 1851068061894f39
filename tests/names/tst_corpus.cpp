#include "names/statement_cleaner.h"
#include "support/samples.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace scrivane;

// The tags of a text, upper-cased, in order, less those the clean may rewrite.
static QStringList tagsBut(const QByteArray& text, const QStringList& rewritten)
{
    static const QRegularExpression tag("</?([A-Za-z0-9.]+)");
    QStringList tags;
    for (const auto& m : tag.globalMatch(QString::fromLatin1(text).toUpper())) {
        if (!rewritten.contains(m.captured(1)))
            tags.append(m.captured(0));
    }
    return tags;
}

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void clean_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QByteArray>("identifier");
        // The first statement transaction response of each file decides its identifier.
        // clang-format off
        const struct { const char *file, *quicken, *quickbooks; } files[] = {
            {"anzcc.ofx", "3000", "3106"}, {"bank_medium.ofx", "3000", "5885"}, {"checking.ofx", "3000", "5885"},
            {"fidelity.ofx", "11372", "5885"}, {"investment_medium.ofx", "11372", "5885"},
            {"multiple_accounts.ofx", "3000", "5885"}, {"ofx-v102-empty-tags.ofx", "3000", "5885"},
            {"suncorp.ofx", "3000", "5885"}};
        // clang-format on
        if (samples::haveCorpus())
            QCOMPARE(QDir(samples::corpusDir()).entryList({"*.ofx"}, QDir::Files).size(), qsizetype(std::size(files)));
        for (const auto& f : files) {
            QTest::addRow("%s, QuickBooks", f.file) << f.file << Target::QuickBooks << QByteArray(f.quickbooks);
            QTest::addRow("%s, Quicken", f.file) << f.file << Target::Quicken << QByteArray(f.quicken);
            QTest::addRow("%s, Other", f.file) << f.file << Target::Other << QByteArray();
        }
    }

    void clean()
    {
        QFETCH(QString, file);
        QFETCH(Target, target);
        QFETCH(QByteArray, identifier);
        const QString path = samples::path(file);
        if (path.isEmpty())
            QSKIP(qPrintable(file + QStringLiteral(" is not kept in tests/data, and ") + samples::noCorpus));
        QFile in(path);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray input = in.readAll();
        SegmentList segments;
        std::string converted;
        const FormReport form = cleanStatement({input.constData(), std::size_t(input.size())},
                                               converted,
                                               segments,
                                               target,
                                               NameOptions {},
                                               LocaleRules::enUS());
        const QByteArray output = QByteArray::fromStdString(joinSegments(segments)), upper = output.toUpper();
        // QuickBooks gets the XML statements in the SGML form, an OFX 1 body under an XML header among them
        // (anzcc.ofx); the rest as they are.
        const bool xml = input.startsWith("<?xml");
        QCOMPARE(form.converted, target == Target::QuickBooks && xml);
        QCOMPARE(form.notConverted, std::string());
        QCOMPARE(output.startsWith("OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\n"), form.converted);

        // Every transaction and every other element stays, in order; Other leaves the identifiers too. The SGML
        // form drops the end tags of the elements that hold text.
        const QStringList rewritten = target == Target::Other ? QStringList {"NAME"} : QStringList {"NAME", "INTU.BID"};
        auto startTags = [](QStringList tags) { return tags.filter(QRegularExpression("^<[^/]")); };
        if (form.converted)
            QCOMPARE(startTags(tagsBut(output, rewritten)), startTags(tagsBut(input, rewritten)));
        else
            QCOMPARE(tagsBut(output, rewritten), tagsBut(input, rewritten));
        const QByteArray signOn = output.left(upper.indexOf("</SONRS>") + 8).mid(upper.indexOf("<SONRS>"));
        if (target != Target::Other) {
            QCOMPARE(signOn.count("<INTU.BID>"), 1);
            QVERIFY2(signOn.contains("<INTU.BID>" + identifier + "<"), signOn.constData());
        }
        if (file == "suncorp.ofx" && !form.converted)
            QVERIFY(output.contains("<NAME><![CDATA[Eftpos Wdl Handyway Aldi Store]]></NAME>\r\n"));
        if (file == "suncorp.ofx" && form.converted)
            QVERIFY(output.contains("<NAME>Eftpos Wdl Handyway Aldi Store\r\n<MEMO>"));
    }
};

QTEST_APPLESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
