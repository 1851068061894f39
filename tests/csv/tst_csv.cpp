#include "csv/csv_reader.h"
#include "csv/csv_writer.h"

#include <QTest>

using namespace scrivane;

namespace {

// A table as "line:field|field" per record, so that a row of the tables below
// shows at a glance where each record began and how it was cut.
QStringList shown(const CsvTable& table)
{
    QStringList out;
    for (const CsvRecord& record : table.records) {
        QStringList fields;
        for (const std::string& f : record.fields)
            fields << QString::fromStdString(f);
        out << QString::number(record.line) + ":" + fields.join('|');
    }
    return out;
}

} // namespace

class TestCsv : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<char>("delimiter");
        QTest::addColumn<QStringList>("records");

        const auto row = [](const char* name, const QByteArray& bytes, char delimiter, const QStringList& records) {
            QTest::newRow(name) << bytes << delimiter << records;
        };
        // Delimiters, found by the most records of one width.
        row("comma", "a,b,c\n1,2,3\n", ',', {"1:a|b|c", "2:1|2|3"});
        row("semicolon beside decimal commas",
            "Date;Amount;Balance\n1.2.2019;10,00;5,5\n2.2.2019;-3,25;2,25\n",
            ';',
            {"1:Date|Amount|Balance", "2:1.2.2019|10,00|5,5", "3:2.2.2019|-3,25|2,25"});
        row("tab beside commas",
            "Payee\tAmount\nSmith, J\t1,000.00\n",
            '\t',
            {"1:Payee|Amount", "2:Smith, J|1,000.00"});
        row("preamble of one field",
            "Account 12\nExported today\nDate,Amount\n1/2/20,5\n1/3/20,6\n",
            ',',
            {"1:Account 12", "2:Exported today", "3:Date|Amount", "4:1/2/20|5", "5:1/3/20|6"});
        row("one column", "a\nb\n", ',', {"1:a", "2:b"});
        // Quoting.
        row("quoted delimiter and quotes", "\"a,b\",\"say \"\"hi\"\"\",\"\"\n", ',', {"1:a,b|say \"hi\"|"});
        row("line breaks inside quotes",
            "\"a\r\nb\",c\r\nd,\"e\nf\rg\"\r\nh,i\r\n",
            ',',
            {"1:a\r\nb|c", "3:d|e\nf\rg", "6:h|i"});
        row("lenient quotes", "5\" screen, \"x\"y ,\"z\"\n", ',', {"1:5\" screen|xy |z"});
        row("empty fields", ",,\n", ',', {"1:||"});
        // Line ends, empty lines, the last line with or without its end.
        row("CR", "a,b\rc,d\r", ',', {"1:a|b", "2:c|d"});
        row("CR LF, no final line end", "a,b\r\nc,d", ',', {"1:a|b", "2:c|d"});
        row("empty lines skipped but counted", "\n\na,b\r\n\r\nc,d\n\n", ',', {"3:a|b", "5:c|d"});
        // Encodings: UTF-8 with or without its mark, else Windows-1252.
        row("utf-8 mark", "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9,\xE2\x82\xAC\n", ',', {"1:\u00e9t\u00e9|\u20ac"});
        row("windows-1252",
            "Cr\xE9"
            "dit,\x80 5\n",
            ',',
            {"1:Cr\u00e9dit|\u20ac 5"});
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(char, delimiter);
        QFETCH(QStringList, records);
        const CsvTable table = readCsv(bytes.toStdString());
        QVERIFY2(table.error.empty(), table.error.c_str());
        QCOMPARE(table.delimiter, delimiter);
        QCOMPARE(shown(table), records);
    }

    void encodings()
    {
        QCOMPARE(readCsv("caf\xC3\xA9").encoding, TextEncoding::Utf8);
        QCOMPARE(readCsv("caf\xE9").encoding, TextEncoding::Windows1252);
    }

    void unclosedQuoteStops()
    {
        const CsvTable table = readCsv("a,b\n1,\"2\n3,4\n");
        QVERIFY(table.records.empty());
        QCOMPARE(table.errorLine, std::size_t(2));
        QVERIFY(!table.error.empty());
    }

    // What the writer puts out reads back as it was, with whichever delimiter.
    void writesWhatReadsBack_data()
    {
        QTest::addColumn<char>("delimiter");
        QTest::newRow("comma") << ',';
        QTest::newRow("semicolon") << ';';
        QTest::newRow("tab") << '\t';
    }
    void writesWhatReadsBack()
    {
        QFETCH(char, delimiter);
        const std::vector<std::vector<std::string>> records = {
            {"match", "text", "name"},
            {"contains", "AMZN Mktp, US", "Amazon"},
            {"starts", " padded ", "Say \"hi\""},
            {"two\r\nlines", "caf\xC3\xA9;\t", ""},
            {""},
        };
        const std::string text = writeCsv(records, delimiter);
        const CsvTable table = readCsv(text, delimiter);
        QVERIFY2(table.error.empty(), table.error.c_str());
        QCOMPARE(table.records.size(), records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            QCOMPARE(table.records[i].fields, records[i]);
        QCOMPARE(csvRecord({"a", "b c", "d,e"}), std::string("a,b c,\"d,e\"\r\n"));
    }
};

QTEST_APPLESS_MAIN(TestCsv)
#include "tst_csv.moc"
