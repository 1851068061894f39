#include "statement/guidance.h"

#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Target)

namespace {

const QByteArray menu = "Import from the QuickBooks menu by picking File | Utilities | Import | Web Connect File.";

QByteArray note(const QByteArray& word)
{
    return "NOTE: When importing your OFX file, " + word
        + " will use a default Bank ID (BID) to connect & identify the Financial Institution, and you may see a "
          "Financial Institution that is different than your own. This may seem unusual, but it is harmless and you "
          "can still import the OFX file.";
}

QByteArray help(const QByteArray& word)
{
    return "Click the Help button for instructions on importing and processing your OFX file using " + word + ".";
}

} // namespace

class TestGuidance : public QObject
{
    Q_OBJECT

private slots:
    void guidance_data();
    void guidance();
    void message_data();
    void message();
};

void TestGuidance::guidance_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("QuickBooks") << QByteArray("QuickBooks")
                                << menu + "\r\n\r\n" + note("QuickBooks") + "\r\n\r\n" + help("QuickBooks");
    QTest::newRow("Quicken") << QByteArray("Quicken") << "\r\n\r\n" + note("Quicken") + "\r\n\r\n" + help("Quicken");
    QTest::newRow("Other") << QByteArray("Other") << QByteArray();
    // Both comparisons respect letter case.
    QTest::newRow("quickbooks") << QByteArray("quickbooks")
                                << "\r\n\r\n" + note("quickbooks") + "\r\n\r\n" + help("quickbooks");
    QTest::newRow("other") << QByteArray("other") << "\r\n\r\n" + note("other") + "\r\n\r\n" + help("other");
}

void TestGuidance::guidance()
{
    QFETCH(QByteArray, word);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(importGuidance(word.toStdString())), expected);
}

void TestGuidance::message_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<QByteArray>("expected");
    // One empty line between the QuickBooks paragraphs; three before the Quicken note.
    QTest::newRow("QuickBooks") << Target::QuickBooks
                                << "File cleaned! You may now import it into QuickBooks.\r\n\r\n" + menu + "\r\n\r\n"
            + note("QuickBooks") + "\r\n\r\n" + help("QuickBooks");
    QTest::newRow("Quicken") << Target::Quicken
                             << "File cleaned! You may now import it into Quicken.\r\n\r\n\r\n\r\n" + note("Quicken")
            + "\r\n\r\n" + help("Quicken");
    QTest::newRow("Other") << Target::Other
                           << QByteArray("File cleaned! You may now import it into your Other financial application."
                                         "\r\n\r\n");
}

void TestGuidance::message()
{
    QFETCH(Target, target);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(cleanedMessage(target)), expected);
}

QTEST_APPLESS_MAIN(TestGuidance)
#include "tst_guidance.moc"
