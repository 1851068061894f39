// Real bank exports, converted and read back by libofx's ofxdump and by
// python3-ofxparse: every file gives a statement that both read without an
// error, with one transaction for each of the file's rows, the rows as read,
// and which comes out the same, FITIDs and all, a second time.
// For the ones kept in tests/data, the statement is the one worked out by hand
// in tests/data/converted.
#include "convert/bank_file.h"
#include "support/samples.h"
#include "support/test_files.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// The transactions in each file, counted by hand: every record of a CSV file
// after its header, every "^" of a QIF file that closes a transaction rather
// than an account. A row the reading drops or doubles shows here.
const QHash<QString, int> rowsByHand = {
    {"csv2ofx__capitalone.csv", 2},
    {"csv2ofx__creditunion.csv", 8},
    {"csv2ofx__default.csv", 8},
    {"csv2ofx__ingesp.csv", 10},
    {"csv2ofx__mint.csv", 4},
    {"csv2ofx__n26-fr.csv", 2},
    {"csv2ofx__payoneer.csv", 2},
    {"csv2ofx__schwab-checking.csv", 4},
    {"csv2ofx__stripe-default.csv", 5},
    {"csv2ofx__ubs-ch-fr_trimmed.csv", 3},
    {"csv2ofx__default.qif", 8},
    {"csv2ofx__mint.qif", 4},
    {"csv2ofx__ubs-ch-fr.qif", 3},
};

// A transaction as python3-ofxparse tells it: "YYYYMMDD amount name", and its FITID.
QPair<QStringList, QStringList> parsed(const QString& statement)
{
    QProcess python;
    python.start("/usr/bin/python3",
                 {QStringLiteral(SCRIVANE_SOURCE_DIR "/tests/cli/ofxparse_facts.py"), "--transactions", statement});
    if (!python.waitForFinished(60000))
        return {{"ofxparse did not finish"}, {}};
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    if (read.isEmpty() || read.contains("error"))
        return {{"ofxparse: " + read.value("error").toString() + python.readAllStandardError()}, {}};
    QStringList transactions, ids;
    for (const QJsonValue& t : read.value("transactions").toArray()) {
        const QStringList f = t.toVariant().toStringList(); // FITID, amount, date, name
        transactions << f[2].left(10).remove('-') + " " + f[1] + " " + f[3];
        ids << f[0];
    }
    return {transactions, ids};
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
        const QStringList expected = expectedFrom(first.reading);
        QCOMPARE(dumped(dump), expected);
        QVERIFY2(rowsByHand.contains(name), "a file whose rows were not counted");
        QCOMPARE(expected.size(), rowsByHand[name]);

        // ofxparse: the same rows, and no two of them under one FITID, which
        // QuickBooks would take for one transaction.
        const auto [transactions, ids] = parsed(written);
        QStringList wanted;
        for (const QString& e : expected)
            wanted << e.section(' ', 0, 1) + " " + e.section(' ', 3).section('|', 0, 0);
        QCOMPARE(transactions, wanted);
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());

        const QString byHand = samples::dataDir() + "/converted/" + name + ".ofx";
        if (QFileInfo::exists(byHand))
            QCOMPARE(QByteArray::fromStdString(first.ofx), readFile(byHand));
    }
};

QTEST_GUILESS_MAIN(TestBankCorpus)
#include "tst_bank_corpus.moc"
