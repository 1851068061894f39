#include "names/proper_case.h"

#include <QStringDecoder>
#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Charset)

class TestProperCase : public QObject
{
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void utf8StaysValid_data();
    void utf8StaysValid();
};

void TestProperCase::convert_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Charset>("charset");
    QTest::addColumn<QByteArray>("expected");

    const char* ascii[][2] = {
        {"JOHN SMITH", "John Smith"},
        {"JOHN MCDONALD", "John McDonald"},
        {"OREILLY", "Oreilly"},
        {"O'REILLY", "O'Reilly"},
        {"d'arcy", "D'Arcy"},
        {"MCKAY'S", "McKay's"},
        {"MC DONALDS", "Mc Donalds"},
        {"SMITH-MCDONALD", "Smith-Mcdonald"},
        {"MACDONALD", "MacDonald"},
        {"MACHINE SHOP", "MacHine Shop"},
        {"JOHN VON HOLT", "John von Holt"},
        {"VONNER BAKERY", "vonNer Bakery"},
        {"FITZGERALD", "FitzGerald"},
        {"ACME LLC", "Acme LLC"},
        {"THE INC SHOP", "The INC Shop"},
        {"ACME INC.", "Acme Inc."},
        {"SUPER-MART", "Super-Mart"},
        {"B&G CAFE", "B&g Cafe"},
        {"A.B. PLUMBING", "A.b. Plumbing"},
        {"  ACME   CORP  ", "Acme   Corp"},
        {"", ""},
        {"inc", "INC"},
        {"llc, inc", "Llc, INC"},
        {"VON", "von"},
        {"FITZ MC", "Fitz Mc"},
        {"ACME\r", "Acme\r"},
        {"X\tY", "X\ty"},
    };
    for (const auto& row : ascii)
        QTest::addRow("\"%s\"", row[0]) << QByteArray(row[0]) << Charset::Ascii << QByteArray(row[1]);

    // Each character set in its own bytes; unknown sets leave bytes above 0x7f alone.
    QTest::newRow("1252") << QByteArray("CAF\xC9 M\xC9TRO") << Charset::Windows1252 << QByteArray("Caf\xE9 M\xE9tro");
    QTest::newRow("1252, letters above 0x7f start words")
        << QByteArray("\xE9\x63OLE \x9Akoda \xFF \xF6L \xF7X") << Charset::Windows1252
        << QByteArray("\xC9\x63ole \x8Akoda \x9F \xD6l \xF7x");
    QTest::newRow("1252, sharp s has no capital")
        << QByteArray("\xDF\x41 STRA\xDF\x45") << Charset::Windows1252 << QByteArray("\xDF\x61 Stra\xDF\x65");
    QTest::newRow("1252 bytes, unknown set")
        << QByteArray("CAF\xC9 M\xC9TRO") << Charset::Ascii << QByteArray("Caf\xC9 M\xC9tro");
    QTest::newRow("utf-8") << QByteArray("CAF\xC3\x89 M\xC3\x89TRO") << Charset::Utf8
                           << QByteArray("Caf\xC3\xA9 M\xC3\xA9tro");
    QTest::newRow("utf-8, word starts") << QByteArray("\xC3\xA9\x63OLE \xC3\xBC\x42\x45R-\xC3\xB6L") << Charset::Utf8
                                        << QByteArray("\xC3\x89\x63ole \xC3\x9C\x62\x65r-\xC3\x96l");
    QTest::newRow("utf-8, cyrillic") << QByteArray("\xD0\xBC\xD0\x9E\xD0\xA1") << Charset::Utf8
                                     << QByteArray("\xD0\x9C\xD0\xBE\xD1\x81");
    QTest::newRow("utf-8, sharp s has no capital")
        << QByteArray("\xC3\x9F\x41") << Charset::Utf8 << QByteArray("\xC3\x9F\x61");
    QTest::newRow("utf-8 bytes, unknown set")
        << QByteArray("CAF\xC3\x89 M\xC3\x89TRO") << Charset::Ascii << QByteArray("Caf\xC3\x89 M\xC3\x89tro");
    QTest::newRow("broken utf-8 kept") << QByteArray("AB\xC3 \xFF\xC9X") << Charset::Utf8
                                       << QByteArray("Ab\xC3 \xFF\xC9x");
}

void TestProperCase::convert()
{
    QFETCH(QByteArray, text);
    QFETCH(Charset, charset);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(properCase(text.toStdString(), charset)), expected);
}

void TestProperCase::utf8StaysValid_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("turkish") << QString::fromUtf8("\xC4\xB0STANBUL \xC4\xB1ZM\xC4\xB0R");
    QTest::newRow("greek") << QString::fromUtf8("\xCE\x91\xCE\x98\xCE\x97\xCE\x9D\xCE\x91 \xCF\x83\xCF\x82");
    QTest::newRow("kelvin, angstrom") << QString::fromUtf8("\xE2\x84\xAA\x45 \xE2\x84\xAB\x41");
    QTest::newRow("ligatures") << QString::fromUtf8("\xEF\xAC\x81SH \xC5\x89\x41 \xC7\x85X");
    QTest::newRow("outside the BMP") << QString::fromUtf8("\xF0\x90\x90\xA8\xF0\x9F\x98\x80 D'\xF0\x90\x90\x80");
    QTest::newRow("combining marks") << QString::fromUtf8("E\xCC\x81\x43OLE MC\xCC\x81");
}

void TestProperCase::utf8StaysValid()
{
    QFETCH(QString, text);
    const QByteArray input = text.toUtf8();
    const std::string result = properCase(input.toStdString(), Charset::Utf8);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(QByteArray::fromStdString(result));
    QVERIFY2(!decoder.hasError(), "proper case made valid UTF-8 invalid");
    // Characters are mapped one to one, so the number of code points stays.
    QCOMPARE(decoded.toUcs4().size(), text.toUcs4().size());
}

QTEST_APPLESS_MAIN(TestProperCase)
#include "tst_proper_case.moc"
