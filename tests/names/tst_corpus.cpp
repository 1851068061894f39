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
        // The identifier written and its count are the reader round trip's, over the whole corpus.
        const QStringList files {"anzcc.ofx",
                                 "bank_medium.ofx",
                                 "checking.ofx",
                                 "fidelity.ofx",
                                 "investment_medium.ofx",
                                 "multiple_accounts.ofx",
                                 "ofx-v102-empty-tags.ofx",
                                 "suncorp.ofx"};
        if (samples::haveCorpus())
            QCOMPARE(QDir(samples::corpusDir()).entryList({"*.ofx"}, QDir::Files), files);
        for (const QString& f : files) {
            const QByteArray file = f.toLatin1();
            QTest::addRow("%s, QuickBooks", file.constData()) << f << Target::QuickBooks;
            QTest::addRow("%s, Quicken", file.constData()) << f << Target::Quicken;
            QTest::addRow("%s, Other", file.constData()) << f << Target::Other;
        }
    }

    void clean()
    {
        QFETCH(QString, file);
        QFETCH(Target, target);
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
        const QByteArray output = QByteArray::fromStdString(joinSegments(segments));
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
        if (file == "suncorp.ofx" && !form.converted)
            QVERIFY(output.contains("<NAME><![CDATA[Eftpos Wdl Handyway Aldi Store]]></NAME>\r\n"));
        if (file == "suncorp.ofx" && form.converted)
            QVERIFY(output.contains("<NAME>Eftpos Wdl Handyway Aldi Store\r\n<MEMO>"));
    }
};

QTEST_APPLESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
