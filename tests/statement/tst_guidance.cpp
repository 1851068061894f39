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
};

QTEST_APPLESS_MAIN(TestGuidance)
#include "tst_guidance.moc"
