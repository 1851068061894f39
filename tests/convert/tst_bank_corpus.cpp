// Real bank exports, converted and read back by libofx's ofxdump: every file
// gives a statement that ofxdump reads without an error, whose transactions are
// the file's rows, and which comes out the same, FITIDs and all, a second time.
// For the ones kept in tests/data, the statement is the one worked out by hand
// in tests/data/converted.
#include "convert/bank_file.h"
#include "support/samples.h"
#include "support/test_files.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

namespace {

// The date order of the one file whose days are all 12 or less, as its user
// would answer it; every file that names no account is given one.
Mapping answersFor(const QString& name, const BankFile& file)
{
    Mapping given;
    if (name.contains("payoneer"))
        given.dateOrder = NumericDateOrder::DayMonthYear;
    const auto& asked = readStatements(file, given).questions;
    if (std::find(asked.begin(), asked.end(), Question::AccountId) != asked.end())
        given.accountId = "A1";
    return given;
}

// A transaction as ofxdump tells it: "YYYYMMDD amount TYPE name|memo".
QStringList dumped(const QByteArray& dump)
{
    static const QStringList months
        = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QStringList out;
    const QStringList blocks = QString::fromUtf8(dump).split("ofx_proc_transaction():");
    for (qsizetype i = 1; i < blocks.size(); ++i) {
        const QString& b = blocks[i];
        const auto value = [&](const char* label) {
            const auto m = QRegularExpression(QString("\\n\\s*") + label + ": ?([^\\n]*)").match(b);
            return m.hasMatch() ? m.captured(1) : QString();
        };
        const auto date = QRegularExpression("(\\w{3}) +(\\d+) [\\d:]+ (\\d{4})").match(value("Date posted"));
        const QString ymd = date.captured(3)
            + QString::number(months.indexOf(date.captured(1)) + 1).rightJustified(2, '0')
            + date.captured(2).rightJustified(2, '0');
        out << ymd + " " + value("Total money amount") + " " + value("Transaction type").section(':', 0, 0) + " "
                + value("Name of payee or transaction description") + "|"
                + value("Extra transaction information \\(memo\\)");
    }
    return out;
}

// The same from the rows read: the name is the payee cut to 32 characters,
// the whole payee then leading the memo.
QStringList expectedFrom(const StatementReading& reading)
{
    QStringList out;
    for (const BankStatement& s : reading.statements) {
        for (const Transaction& t : s.transactions) {
            QString payee = QString::fromStdString(t.payee).simplified();
            QString memo = QString::fromStdString(t.memo).simplified();
            QString name = payee;
            if (const std::u32string chars = payee.toStdU32String(); chars.size() > 32) {
                name = QString::fromStdU32String(chars.substr(0, 32)).trimmed();
                memo = memo.isEmpty() ? payee : payee + " - " + memo;
            }
            const bool check = !t.checkNumber.empty()
                && std::all_of(t.checkNumber.begin(), t.checkNumber.end(), [](char c) { return c >= '0' && c <= '9'; });
            const char* type = !t.amount.negative() ? "CREDIT" : check ? "CHECK" : "DEBIT";
            out << QString::fromStdString(ofxDate(t.date) + " " + ofxAmount(t.amount) + " ") + type + " " + name + "|"
                    + memo;
        }
    }
    return out;
}

} // namespace

class TestBankCorpus : public QObject
{
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<QString>("path");
        QStringList dirs = {samples::dataDir()};
        if (samples::haveCorpus())
            dirs << samples::corpusDir() + "/csv";
        else
            qInfo("Only the exports of tests/data: %s", samples::noCorpus);
        QStringList seen;
        for (const QString& dir : dirs) {
            for (const QFileInfo& file : QDir(dir).entryInfoList({"*.csv", "*.qif"}, QDir::Files)) {
                if (!seen.contains(file.fileName()))
                    QTest::newRow(qPrintable(file.fileName())) << file.filePath();
                seen << file.fileName();
            }
        }
    }
    void converts()
    {
        QFETCH(QString, path);
        if (QStandardPaths::findExecutable("ofxdump").isEmpty())
            QSKIP("ofxdump (Debian package ofx) is needed to read statements back");
        const QByteArray bytes = readFile(path);
        const QString name = QFileInfo(path).fileName();
        const BankFile file = readBankFile(bytes.toStdString(), *bankFileFormatOf(name.toStdString()));
        const Mapping given = answersFor(name, file);
        const BankFileConversion first = convertBankFile(file, given);
        QVERIFY2(first.reading.complete(), first.reading.error.c_str());
        QCOMPARE(convertBankFile(readBankFile(bytes.toStdString(), file.format), given).ofx, first.ofx);

        QTemporaryDir dir;
        const QString written = dir.filePath("statement.ofx");
        QVERIFY(writeFile(written, QByteArray::fromStdString(first.ofx)));
        QProcess ofxdump;
        ofxdump.setProcessChannelMode(QProcess::MergedChannels);
        ofxdump.start(QStandardPaths::findExecutable("ofxdump"), {written});
        QVERIFY(ofxdump.waitForFinished(60000));
        const QByteArray dump = ofxdump.readAll();
        QVERIFY2(!dump.contains("ERROR"), dump.constData());
        QCOMPARE(dumped(dump), expectedFrom(first.reading));

        const QString expected = samples::dataDir() + "/converted/" + name + ".ofx";
        if (QFileInfo::exists(expected))
            QCOMPARE(QByteArray::fromStdString(first.ofx), readFile(expected));
    }
};

QTEST_GUILESS_MAIN(TestBankCorpus)
#include "tst_bank_corpus.moc"
