#include "names/case_map.h"
#include "names/omit_list.h"
#include "statement/text.h"

#include <QTest>

#include <random>

using namespace scrivane;

// The rule as it reads: " " + word + " " found in " " + list + " ", both in lower
// case, the word lowered as a whole probe with its two spaces.
static bool omittedByText(std::string_view list, std::string_view word, Charset charset)
{
    const CaseMap map(charset);
    const std::string omitList = " " + map.lowerText(textInCharset(list, charset)) + " ";
    std::string probe = " " + std::string(word) + " ";
    if (charset == Charset::Ascii || isAscii(probe)) {
        for (char& c : probe)
            c = asciiLower(c);
    } else {
        probe = map.lowerText(probe);
    }
    return omitList.find(probe) != std::string::npos;
}

Q_DECLARE_METATYPE(Charset)

class TestOmitList : public QObject
{
    Q_OBJECT

private slots:
    void sameAsTheTextRule_data()
    {
        QTest::addColumn<Charset>("charset");
        QTest::newRow("ASCII") << Charset::Ascii;
        QTest::newRow("1252") << Charset::Windows1252;
        QTest::newRow("UTF-8") << Charset::Utf8;
    }

    // Random lists and words built from pieces that differ only in letter case, in
    // bytes beyond ASCII (valid and broken UTF-8, 1252 letters, a letter whose lower
    // case is ASCII), in punctuation and line breaks, and lists with runs of spaces
    // or spaces at their ends.
    void sameAsTheTextRule()
    {
        QFETCH(Charset, charset);
        static const std::vector<std::string> pieces
            = {"a",    "A",    "b",    "CHECK",    "check",    "Chk",          ",",
               "\t",   "\n",   "\r",   "\xC3\x89", "\xC3\xA9", "\xE2\x84\xAA", "k",
               "\xC9", "\xE9", "\xC3", "\x80",     "\xC8\xBA", "ref"};
        std::mt19937 random(15);
        auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random); };
        auto word = [&] {
            std::string w;
            for (std::size_t n = pick(3); n > 0; --n)
                w += pieces[pick(pieces.size())];
            return w;
        };
        int hits = 0, misses = 0;
        for (int round = 0; round < 400; ++round) {
            std::string list;
            for (std::size_t n = pick(6); n > 0; --n)
                list += word() + std::string(1 + (pick(4) == 0), ' ');
            if (pick(2) == 0 && !list.empty())
                list.pop_back();
            if (pick(5) == 0)
                list.insert(0, " ");
            const OmitList omit(list, charset);
            for (int k = 0; k < 40; ++k) {
                const std::string w = word();
                const bool expected = omittedByText(list, w, charset);
                if (omit.contains(w) != expected)
                    QFAIL(qPrintable(QStringLiteral("list \"%1\", word \"%2\": expected %3")
                                         .arg(QString::fromLatin1(list), QString::fromLatin1(w))
                                         .arg(expected)));
                ++(expected ? hits : misses);
            }
        }
        // Both answers must have come up often, or the comparison proves little.
        QVERIFY(hits > 1000);
        QVERIFY(misses > 1000);
    }

    // A list of a hundred thousand words answers like a short one.
    void longList()
    {
        std::string list;
        for (int i = 0; i < 100000; ++i)
            list += "Word" + std::to_string(i) + " ";
        const OmitList omit(list, Charset::Ascii);
        QVERIFY(omit.contains("WORD0"));
        QVERIFY(omit.contains("word99999"));
        QVERIFY(omit.contains("")); // the trailing space leaves an empty piece
        QVERIFY(!omit.contains("Word100000"));
        QVERIFY(!omit.contains("Word"));
        QVERIFY(!omit.contains("Word1 "));
    }
};

QTEST_APPLESS_MAIN(TestOmitList)
#include "tst_omit_list.moc"
