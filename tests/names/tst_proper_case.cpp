#include "names/proper_case.h"

#include <QStringDecoder>
#include <QTest>

using namespace scrivane;

static void row(const char* name, Charset charset, const QByteArray& text, const QByteArray& expected)
{
    QTest::newRow(name) << text << charset << expected;
}

// clang-format off
static const char* table[][2] = {
    {"JOHN SMITH", "John Smith"}, {"JOHN MCDONALD", "John McDonald"}, {"OREILLY", "Oreilly"},
    {"O'REILLY", "O'Reilly"}, {"d'arcy", "D'Arcy"}, {"MCKAY'S", "McKay's"},
    {"MC DONALDS", "Mc Donalds"}, {"SMITH-MCDONALD", "Smith-Mcdonald"}, {"MACDONALD", "MacDonald"},
    {"MACHINE SHOP", "MacHine Shop"}, {"JOHN VON HOLT", "John von Holt"}, {"VONNER BAKERY", "vonNer Bakery"},
    {"FITZGERALD", "FitzGerald"}, {"ACME LLC", "Acme LLC"}, {"THE INC SHOP", "The INC Shop"},
    {"ACME INC.", "Acme Inc."}, {"SUPER-MART", "Super-Mart"}, {"B&G CAFE", "B&g Cafe"},
    {"A.B. PLUMBING", "A.b. Plumbing"}, {"  ACME   CORP  ", "Acme   Corp"}, {"", ""}};
// clang-format on

class TestProperCase : public QObject
{
    Q_OBJECT

private slots:
    void convert_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QByteArray>("expected");
        for (const auto& [text, expected] : table)
            row(text, Charset::Ascii, text, expected);

        const Charset cp1252 = Charset::Windows1252, utf8 = Charset::Utf8;
        row("1252", cp1252, "CAF\xC9 M\xC9TRO", "Caf\xE9 M\xE9tro");
        row("UTF-8", utf8, "CAF\xC3\x89 M\xC3\x89TRO", "Caf\xC3\xA9 M\xC3\xA9tro");
        row("unknown set keeps high bytes", Charset::Ascii, "CAF\xC9 M\xC3\x89TRO", "Caf\xC9 M\xC3\x89tro");
        // é, š and ÿ have their capitals elsewhere in the 1252 table; ß has none.
        row("1252 word starts", cp1252, "\xE9\x63OLE \x9Akoda \xFF \xDF\x41", "\xC9\x63ole \x8Akoda \x9F \xDF\x61");
        row("UTF-8 word starts", utf8, "\xC3\xA9T \xD0\xBC\xD0\xA1", "\xC3\x89t \xD0\x9C\xD1\x81");
        row("broken UTF-8 kept", utf8, "AB\xC3 \xFF\xC9X", "Ab\xC3 \xFF\xC9x");
    }

    void convert()
    {
        QFETCH(QByteArray, text);
        QFETCH(Charset, charset);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(properCase(text.toStdString(), charset)), expected);
    }

    void utf8StaysValid()
    {
        // Letters whose case partner is longer or shorter in UTF-8, or two letters long.
        for (const char* text : {"\xC4\xB0STANBUL \xC4\xB1ZM\xC4\xB0R", // Turkish dotted and dotless i
                                 "\xE2\x84\xAA\x45 \xE2\x84\xAB\x41", // Kelvin and Angstrom signs
                                 "\xEF\xAC\x81SH \xC5\x89\x41 \xC7\x85X \xC3\x9F\x41", // ligatures, sharp s
                                 "\xF0\x90\x90\xA8\xF0\x9F\x98\x80 D'\xF0\x90\x90\x80"}) { // outside the BMP
            QStringDecoder decoder(QStringDecoder::Utf8);
            const QString result = decoder(QByteArray::fromStdString(properCase(text, Charset::Utf8)));
            QVERIFY2(!decoder.hasError(), text);
            QCOMPARE(result.toUcs4().size(), QString::fromUtf8(text).toUcs4().size());
        }
    }
};

QTEST_APPLESS_MAIN(TestProperCase)
#include "tst_proper_case.moc"
