#include "platform/statement_file.h"
#include "test_files.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

Q_DECLARE_METATYPE(scrivane::Target)

class TestStatementFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    QString input_;

    CleanOutcome clean(Target target) { return cleanStatementFile(input_, target, NameOptions(), LocaleRules::enUS()); }

private slots:
    void init()
    {
        static int n = 0;
        input_ = dir_.filePath(QStringLiteral("s%1.ofx").arg(++n));
        QVERIFY(writeFile(input_, bankStatement));
    }

    // The output is never readable by more users than the statement was, even
    // where a wider file already stood under the output's name.
    void outputKeepsTheInputsPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<Target>("target");
        QTest::newRow("private, new name") << 0600 << Target::Quicken;
        QTest::newRow("odd bits, new name") << 0604 << Target::QuickBooks;
        QTest::newRow("private, same name") << 0600 << Target::Other;
        QTest::newRow("group readable, same name") << 0640 << Target::Other;
    }
    void outputKeepsTheInputsPermissions()
    {
        QFETCH(int, mode);
        QFETCH(Target, target);
        const QString output = input_.chopped(4) + (target == Target::Quicken ? ".QFX" : ".QBO");
        QVERIFY(writeFile(output, "old") && ::chmod(QFile::encodeName(output).constData(), 0666) == 0);
        QVERIFY(::chmod(QFile::encodeName(input_).constData(), static_cast<mode_t>(mode)) == 0);
        CleanOutcome outcome = clean(target);
        QVERIFY(outcome.succeeded());
        QCOMPARE(QString::number(modeOf(outcome.outputPath), 8), QString::number(mode, 8));
    }

    // Two names for one file: writing the output wrote the input, which must stay.
    void linkedOutputKeepsTheStatement()
    {
        QVERIFY(QFile::link(input_, input_.chopped(4) + ".QFX"));
        CleanOutcome outcome = clean(Target::Quicken);
        QVERIFY(outcome.succeeded());
        QVERIFY(readFile(outcome.outputPath).contains("<INTU.BID>3000"));
    }

    void cleanToADeviceTouchesNoFile()
    {
        QBuffer out;
        QVERIFY(out.open(QIODevice::WriteOnly));
        QVERIFY(!cleanStatementTo(input_, Target::QuickBooks, NameOptions(), LocaleRules::enUS(), out, "stdout"));
        QCOMPARE(readFile(input_), bankStatement);
        QBuffer closed;
        QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): device not open");
        auto failure = cleanStatementTo(input_, Target::Other, NameOptions(), LocaleRules::enUS(), closed, "stdout");
        QVERIFY(failure && failure->step == CleanStep::Write && failure->error.path == "stdout");

        QVERIFY(clean(Target::QuickBooks).succeeded());
        QCOMPARE(out.data(), readFile(input_.chopped(4) + ".QBO"));
    }
};

QTEST_APPLESS_MAIN(TestStatementFile)
#include "tst_statement_file.moc"
