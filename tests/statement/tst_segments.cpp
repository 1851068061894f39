#include "statement/segment_list.h"

#include <QTest>

#include <algorithm>
#include <random>

using namespace scrivane;

class TestSegments : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("expected");
        QTest::newRow("empty") << QByteArray() << QByteArrayList {"", ""};
        QTest::newRow("no <") << QByteArray("plain\r\n") << QByteArrayList {"", "plain\r\n"};
        QTest::newRow("<<") << QByteArray("<<") << QByteArrayList {"", "<", "<"};
        QTest::newRow("ends with <") << QByteArray("<A>1\n<") << QByteArrayList {"", "<A>1\n", "<"};
        QTest::newRow("header") << QByteArray("OFXHEADER:100\r\n\r\n<OFX><NAME>X\r\n</OFX>")
                                << QByteArrayList {"", "OFXHEADER:100\r\n\r\n", "<OFX>", "<NAME>X\r\n", "</OFX>"};
    }

    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, expected);
        SegmentList segments;
        splitTagSegments({text.constData(), std::size_t(text.size())}, segments);
        QByteArrayList actual;
        for (std::string_view s : segments)
            actual.append(QByteArray(s.data(), qsizetype(s.size())));
        QCOMPARE(actual, expected);
    }

    void joinGivesInputBack()
    {
        // A small alphabet, so that runs of "<", NUL bytes and bytes above 0x7f turn up often.
        const char alphabet[] = {'<', '<', '>', 'A', ' ', '\r', '\n', '\0', '\x80', '\xff'};
        std::mt19937 random(20240517);
        SegmentList segments;
        for (int round = 0; round < 300; ++round) {
            std::string text(random() % 40, ' ');
            for (char& c : text)
                c = alphabet[random() % sizeof(alphabet)];
            splitTagSegments(text, segments);
            QCOMPARE(QByteArray::fromStdString(joinSegments(segments)), QByteArray::fromStdString(text));
            QCOMPARE(segments.size(), 2 + (text.empty() ? 0 : std::count(text.begin() + 1, text.end(), '<')));
            QVERIFY(segments[0].empty());
            for (std::size_t i = 1; i < segments.size(); ++i) {
                QVERIFY(i < 2 || segments[i].starts_with('<'));
                QCOMPARE(segments[i].find('<', 1), std::string_view::npos);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestSegments)
#include "tst_segments.moc"
