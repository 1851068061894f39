#include "statement/finding_format.h"
#include "statement/guidance.h"

#include <QTest>

using namespace scrivane;

static const char menu[] = "Import from the QuickBooks menu by picking File | Utilities | Import | Web Connect File.";

static QByteArray noteAndHelp(const QByteArray& word)
{
    return "\r\n\r\nNOTE: When importing your OFX file, " + word
        + " will use a default Bank ID (BID) to connect & identify the Financial Institution, and you may see a "
          "Financial Institution that is different than your own. This may seem unusual, but it is harmless and you "
          "can still import the OFX file.\r\n\r\nClick the Help button for instructions on importing and processing "
          "your OFX file using "
        + word + ".";
}

class TestGuidance : public QObject
{
    Q_OBJECT

private slots:
    void message_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QByteArray>("guidance");
        QTest::newRow("QuickBooks") << Target::QuickBooks << QByteArray("QuickBooks")
                                    << menu + noteAndHelp("QuickBooks");
        QTest::newRow("Quicken") << Target::Quicken << QByteArray("Quicken") << noteAndHelp("Quicken");
        QTest::newRow("Other") << Target::Other << QByteArray("your Other financial application") << QByteArray();
    }

    void message()
    {
        QFETCH(Target, target);
        QFETCH(QByteArray, label);
        QFETCH(QByteArray, guidance);
        QCOMPARE(QByteArray::fromStdString(importGuidance(targetWord(target))), guidance);
        QCOMPARE(QByteArray::fromStdString(cleanedMessage(target)),
                 "File cleaned! You may now import it into " + label + ".\r\n\r\n" + guidance);
    }

    // A statement that QuickBooks was to get in the SGML form and did not: one
    // sentence more after the first, the rest as always.
    void notConverted()
    {
        const std::string reason
            = "it is not well-formed XML (line 9: the end tag </STATUS> does not close <SEVERITY>)";
        QCOMPARE(
            QByteArray::fromStdString(cleanedMessage(Target::QuickBooks, reason)),
            QByteArray(
                "File cleaned! You may now import it into QuickBooks. It was left in its XML form, which QuickBooks "
                "may refuse: it could not be converted to OFX 1.0.2 because it is not well-formed XML (line 9: the "
                "end tag </STATUS> does not close <SEVERITY>).\r\n\r\n")
                + menu + noteAndHelp("QuickBooks"));
    }

    // What the check of the written file found comes in one sentence after the message, with the whole list for
    // the box's details.
    void findings_data()
    {
        QTest::addColumn<Target>("target");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("sentence");
        QTest::addColumn<QByteArray>("list");
        const QByteArray longName = "line 14: warning: transaction 3 (FITID 0003) of statement 1: the name \"ACME "
                                    "HARDWARE AND LUMBER SUPPLY COMPANY\" is longer than the 32 characters OFX allows: "
                                    "Quicken cuts it. Shorten it, or let the cleaning drop more (Settings: words to "
                                    "omit, dates, numbers).";
        QTest::newRow("nothing") << Target::Quicken << 0 << QByteArray() << QByteArray();
        QTest::newRow("one") << Target::Quicken << 1
                             << QByteArray(
                                    "Before you import: the cleaned file has one problem for Quicken, on line 14, "
                                    "transaction 3 (FITID 0003) of statement 1: the name \"ACME HARDWARE AND "
                                    "LUMBER SUPPLY COMPANY\" is longer than the 32 characters OFX allows: "
                                    "Quicken cuts it.")
                             << longName;
        const QByteArray line = QByteArray(longName).replace("Quicken", "the financial application");
        QTest::newRow("three, Other, two listed")
            << Target::Other << 3
            << QByteArray("Before you import: the cleaned file has 3 problems for your financial application (listed "
                          "under Show Details), the first on line 14, transaction 3 (FITID 0003) of statement 1: the "
                          "name \"ACME HARDWARE AND LUMBER SUPPLY COMPANY\" is longer than the 32 characters OFX "
                          "allows: the financial application cuts it.")
            << line + "\r\n" + line + "\r\n... and 1 more.";
    }

    void findings()
    {
        QFETCH(Target, target);
        QFETCH(int, count);
        QFETCH(QByteArray, sentence);
        QFETCH(QByteArray, list);
        Finding f;
        f.kind = FindingKind::LongName;
        f.level = FindingLevel::Warning;
        f.line = 14;
        f.account = 1;
        f.transaction = 3;
        f.fitid = "0003";
        f.value = "ACME HARDWARE AND LUMBER SUPPLY COMPANY";
        f.target = target;
        const std::vector<Finding> told(std::size_t(count), f);
        QCOMPARE(QByteArray::fromStdString(findingsSentence(told, target)), sentence);
        QCOMPARE(QByteArray::fromStdString(findingsList(told, 2)), list);
    }
};

QTEST_APPLESS_MAIN(TestGuidance)
#include "tst_guidance.moc"
