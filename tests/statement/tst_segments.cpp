#include "statement/segment_list.h"

#include <QList>
#include <QTest>

#include <random>
#include <string>

using namespace scrivane;

namespace {

std::string_view view(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

QList<QByteArray> elements(const SegmentList& segments)
{
    QList<QByteArray> out;
    for (std::string_view s : segments)
        out.append(QByteArray(s.data(), static_cast<qsizetype>(s.size())));
    return out;
}

} // namespace

class TestSegments : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void joinGivesInputBack_data();
    void joinGivesInputBack();
    void setCopiesText();
};

void TestSegments::split_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QByteArray>>("expected");

    QTest::newRow("empty") << QByteArray() << QList<QByteArray> {"", ""};
    QTest::newRow("no tag") << QByteArray("plain text\r\n") << QList<QByteArray> {"", "plain text\r\n"};
    QTest::newRow("single <") << QByteArray("<") << QList<QByteArray> {"", "<"};
    QTest::newRow("<<") << QByteArray("<<") << QList<QByteArray> {"", "<", "<"};
    QTest::newRow("ends with <") << QByteArray("<A>1\n<") << QList<QByteArray> {"", "<A>1\n", "<"};
    QTest::newRow("< second") << QByteArray("x<A>") << QList<QByteArray> {"", "x", "<A>"};
    QTest::newRow("no header") << QByteArray("<OFX>\n<NAME>ACME\n</OFX>")
                               << QList<QByteArray> {"", "<OFX>\n", "<NAME>ACME\n", "</OFX>"};
    QTest::newRow("header") << QByteArray("OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX><NAME>X\r\n</OFX>\r\n")
                            << QList<QByteArray> {
                                   "", "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n", "<OFX>", "<NAME>X\r\n", "</OFX>\r\n"};
    QTest::newRow("nul and high bytes") << QByteArray(
        "\0\xff<\x80\0<", 6) << QList<QByteArray> {"", QByteArray("\0\xff", 2), QByteArray("<\x80\0", 3), "<"};
}

void TestSegments::split()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, expected);
    SegmentList segments;
    splitTagSegments(view(text), segments);
    QCOMPARE(elements(segments), expected);
}

void TestSegments::joinGivesInputBack_data()
{
    QTest::addColumn<QByteArray>("text");
    // Random texts over a small alphabet, so that "<" runs, NUL bytes and bytes
    // above 0x7f all turn up often.
    const char alphabet[] = {'<', '<', '>', 'A', ' ', '\r', '\n', '\0', '\x80', '\xff', '/'};
    std::mt19937 random(20240517);
    for (int row = 0; row < 200; ++row) {
        QByteArray text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text.append(alphabet[random() % sizeof(alphabet)]);
        QTest::addRow("random %d", row) << text;
    }
}

void TestSegments::joinGivesInputBack()
{
    QFETCH(QByteArray, text);
    SegmentList segments;
    splitTagSegments(view(text), segments);

    const std::string joined = joinSegments(segments);
    QCOMPARE(QByteArray(joined.data(), static_cast<qsizetype>(joined.size())), text);

    const qsizetype later = text.isEmpty() ? 0 : text.mid(1).count('<');
    QCOMPARE(segments.size(), static_cast<std::size_t>(2 + later));
    QVERIFY(segments[0].empty());
    for (std::size_t i = 1; i < segments.size(); ++i) {
        std::string_view s = segments[i];
        if (i >= 2)
            QVERIFY(s.starts_with('<'));
        if (i >= 2 || !text.isEmpty())
            QVERIFY2(!s.empty(), "only element 0, or element 1 of an empty text, may be empty");
        QCOMPARE(s.find('<', 1), std::string_view::npos);
    }
}

void TestSegments::setCopiesText()
{
    SegmentList segments;
    splitTagSegments("<A>1<B>2", segments);
    std::string replacement = "<A>new";
    segments.set(1, replacement);
    segments.clearAt(2);
    replacement.assign(replacement.size(), 'x');
    QCOMPARE(QByteArray::fromStdString(joinSegments(segments)), QByteArray("<A>new"));
    QCOMPARE(segments.size(), std::size_t(3));

    // Cutting again replaces everything, rewritten elements included.
    splitTagSegments("", segments);
    QCOMPARE(elements(segments), (QList<QByteArray> {"", ""}));
}

QTEST_APPLESS_MAIN(TestSegments)
#include "tst_segments.moc"
