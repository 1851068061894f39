#include "names/case_map.h"

#include <QTest>

#include <locale>
#include <memory>

using namespace scrivane;

class TestCaseMap : public QObject
{
    Q_OBJECT

private slots:
    // Rows that hit each kind of run in the table: single letters, blocks, pairs that
    // alternate, letters whose partner lies far away, and planes beyond the BMP.
    void utf8Letters_data()
    {
        QTest::addColumn<uint>("letter");
        QTest::addColumn<uint>("upper");
        QTest::addColumn<uint>("lower");
        QTest::newRow("e acute") << 0xE9u << 0xC9u << 0xE9u;
        QTest::newRow("E acute") << 0xC9u << 0xC9u << 0xE9u;
        QTest::newRow("y diaeresis, capital outside Latin-1") << 0xFFu << 0x178u << 0xFFu;
        QTest::newRow("capital Y diaeresis") << 0x178u << 0x178u << 0xFFu;
        QTest::newRow("A macron, even of a pair") << 0x100u << 0x100u << 0x101u;
        QTest::newRow("i ogonek, odd of a pair") << 0x12Fu << 0x12Eu << 0x12Fu;
        QTest::newRow("dotless i") << 0x131u << 0x49u << 0x131u;
        QTest::newRow("capital I dot") << 0x130u << 0x130u << 0x69u;
        QTest::newRow("long s") << 0x17Fu << 0x53u << 0x17Fu;
        QTest::newRow("title-case DZ caron") << 0x1C5u << 0x1C4u << 0x1C6u;
        QTest::newRow("sharp s has no single capital") << 0xDFu << 0xDFu << 0xDFu;
        QTest::newRow("final sigma") << 0x3C2u << 0x3A3u << 0x3C2u;
        QTest::newRow("Cyrillic EM") << 0x41Cu << 0x41Cu << 0x43Cu;
        QTest::newRow("Kelvin sign") << 0x212Au << 0x212Au << 0x6Bu;
        QTest::newRow("fullwidth a") << 0xFF41u << 0xFF21u << 0xFF41u;
        QTest::newRow("Deseret, outside the BMP") << 0x10428u << 0x10400u << 0x10428u;
        QTest::newRow("CJK has no case") << 0x4E2Du << 0x4E2Du << 0x4E2Du;
        QTest::newRow("last code point") << 0x10FFFFu << 0x10FFFFu << 0x10FFFFu;
        QTest::newRow("a raw byte stays")
            << uint(rawByteBase + 0xE9) << uint(rawByteBase + 0xE9) << uint(rawByteBase + 0xE9);
    }

    void utf8Letters()
    {
        QFETCH(uint, letter);
        QFETCH(uint, upper);
        QFETCH(uint, lower);
        const CaseMap map(Charset::Utf8);
        QCOMPARE(uint(map.upper(letter)), upper);
        QCOMPARE(uint(map.lower(letter)), lower);
    }

    // Proper case finds the words and the letters after a hyphen before it
    // changes letter case, so no character may change case into a space or a
    // hyphen, or out of one.
    void separatorsStayApart()
    {
        for (Charset charset : {Charset::Ascii, Charset::Windows1252, Charset::Utf8}) {
            const CaseMap map(charset);
            const char32_t end = charset == Charset::Utf8 ? rawByteBase + 0x100 : 0x100;
            for (char32_t c = 0; c < end; ++c) {
                for (char32_t separator : {U' ', U'-'}) {
                    const bool is = c == separator;
                    if ((map.upper(c) == separator) != is || (map.lower(c) == separator) != is)
                        QFAIL(qPrintable(QString::number(uint(c), 16)));
                }
            }
        }
    }

    void lowerText()
    {
        const CaseMap map(Charset::Utf8);
        const std::string lowered = map.lowerText("\xC3\x89"
                                                  "COLE \xD0\x9C\xD0\x98\xD0\xA0 \xF0\x90\x90\x80 \xC3");
        QCOMPARE(QByteArray::fromStdString(lowered),
                 QByteArray("\xC3\xA9"
                            "cole \xD0\xBC\xD0\xB8\xD1\x80 \xF0\x90\x90\xA8 \xC3"));
    }

    // The table was taken from the C library's C.UTF-8 locale; where that locale
    // exists with 32-bit wchar_t, both must agree on every code point, so that
    // names are cased as the program always cased them there.
    void agreesWithTheCLibrary()
    {
        std::unique_ptr<std::locale> locale;
        try {
            locale = std::make_unique<std::locale>("C.UTF-8");
        } catch (const std::exception&) {
            QSKIP("no C.UTF-8 locale in this C library");
        }
        if constexpr (sizeof(wchar_t) < 4) {
            QSKIP("wchar_t cannot hold every code point here");
        } else {
            const auto& facet = std::use_facet<std::ctype<wchar_t>>(*locale);
            const auto expected = [](char32_t c, wchar_t mapped) {
                const auto m = static_cast<char32_t>(mapped);
                const bool valid = m != 0 && m < 0x110000 && !(m >= 0xD800 && m <= 0xDFFF);
                return valid ? m : c;
            };
            const CaseMap map(Charset::Utf8);
            int differ = 0;
            for (char32_t c = 0x80; c < 0x110000; ++c) {
                const auto w = static_cast<wchar_t>(c);
                if (map.upper(c) != expected(c, facet.toupper(w)) || map.lower(c) != expected(c, facet.tolower(w))) {
                    if (++differ <= 5)
                        qWarning(
                            "U+%04X: upper %X lower %X", unsigned(c), unsigned(map.upper(c)), unsigned(map.lower(c)));
                }
            }
            QCOMPARE(differ, 0);
        }
    }
};

QTEST_APPLESS_MAIN(TestCaseMap)
#include "tst_case_map.moc"
