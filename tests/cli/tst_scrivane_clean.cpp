// scrivane-clean from the outside: what it prints, writes and leaves alone.
#include "cli/cli_runner.h"
#include "settings/user_settings.h"
#include "support/platform_facts.h"
#include "support/samples.h"
#include "support/sandbox.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace cli_test;

// What --check says of the second transaction of the statement, whose name the default options clean away.
static const QByteArray noPayee = "transaction 2 (FITID 2) of statement 1: the transaction has neither NAME nor PAYEE: "
                                  "it is imported without a payee. Check the words to omit in Settings: a name that "
                                  "the cleaning leaves empty is removed.";

class TestScrivaneClean : public QObject
{
    Q_OBJECT

private slots:
    // The statement s.ofx, with or without stored choices, which are only ever
    // read. The result is either a cleaned file, announced, or what is printed; a
    // row that expects neither is a usage error.
    void runsOnOneStatement_data()
    {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("bytes");
        auto add = [](const char* tag, QByteArray store, QString args, QString output, QByteArray bytes) {
            QTest::newRow(tag) << store << args << output << bytes;
        };
        // The desktop program stored Quicken, PURCHASE omitted, proper case off.
        const QByteArray prefs = "[Prefs]\nquickenCompat=True\nnoCompat=False\nomitWords=PURCHASE\nmixedCase=0\n";
        // Each target's identifier is told by the rows that write a file; --stdout only changes where it goes.
        add("stdout", {}, "--stdout --target quickbooks s.ofx", "", cleaned("quickbooks"));
        add("QuickBooks", {}, "--target quickbooks s.ofx", "s.QBO", cleaned("quickbooks"));
        add("Quicken", {}, "--target quicken s.ofx", "s.QFX", cleaned("quicken"));
        add("Other", {}, "--target other s.ofx", "s.ofx", cleaned("other"));
        add("clean, stored", prefs, "--list=clean s.ofx", "", "POS BIGMART\nCHECK\nAT&T MOBILITY\n");
        QByteArray stored = statement;
        stored.replace("<NAME>POS PURCHASE #123456 BIGMART\n", "<NAME>POS BIGMART")
            .replace("MOBILITY\r\n", "MOBILITY\r");
        stored.replace("<NAME>CHECK 1234\n", "<NAME>CHECK").replace("</SONRS>", "<INTU.BID>3000</SONRS>");
        add("stored", prefs, "s.ofx", "s.QFX", stored);
        // Other's key unreadable counts as on, as the window's option button takes it.
        add("stored, one unreadable",
            "[Prefs]\nquickbooksCompat=True\nnoCompat=maybe\n",
            "s.ofx",
            "s.ofx",
            cleaned("other"));
        const char* flags = "--target=quickbooks --proper-case --omit-words=check s.ofx";
        add("flags win", prefs, flags, "s.QBO", cleaned("quickbooks"));
        add("version",
            {},
            "--version",
            "",
            "scrivane-clean 1.03\nCopyright (c) 2026 The Scrivane developers\n"
            "MIT License: free to use, copy, change and share, without warranty.\n");
        // Which lines are refused, and why, is told by tst_cli_arguments; here only what a refusal does.
        for (const QString args : {"--frobnicate s.ofx", "--target quicken -"})
            add(qPrintable(args), {}, args, "", {});
    }
    void runsOnOneStatement()
    {
        QFETCH(QByteArray, store);
        QFETCH(QString, args);
        QFETCH(QString, output);
        QFETCH(QByteArray, bytes);
        Sandbox box;
        const QString storePath = box.config() + "/Korvel Scrivane.ini";
        QVERIFY(writeFile(box.path("s.ofx"), statement) && (store.isEmpty() || writeFile(storePath, store)));
        const Run run = box.run(args.split(' '));
        const bool usageError = output.isEmpty() && bytes.isEmpty();
        QCOMPARE(run.exitCode, usageError ? 2 : 0);
        QVERIFY2(usageError ? run.err.startsWith("scrivane-clean: ") : run.err.isEmpty(), run.err.constData());
        // The original goes to the trash also where the cleaned file takes its name; where no trash takes it, the
        // line says so only where the cleaned file wrote over it.
        const QByteArray trashed = originalGoesToTheTrash() ? " (original in the trash)"
            : output == "s.ofx"                             ? " (original replaced: no trash could take it)"
                                                            : "";
        QCOMPARE(run.out, output.isEmpty() ? bytes : "s.ofx -> " + output.toUtf8() + trashed + "\n");
        QCOMPARE(box.entries(), QStringList {output.isEmpty() ? "s.ofx" : output});
        QCOMPARE(readFile(box.path(output.isEmpty() ? "s.ofx" : output)), output.isEmpty() ? statement : bytes);
        QCOMPARE(readFile(storePath), store.isEmpty() ? QByteArray("<unreadable>") : store);
    }

    // Payee rules: the saved ones, those of a file for one run, or none. A rule's name goes in as typed; a
    // rules file that cannot be used, or a name the statement cannot hold, leaves every file as it was.
    void payeeRules_data()
    {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QByteArray>("rulesFile"); // r.csv, when not empty
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray saved = "[PayeeRules]\n1\\text=bigmart\n1\\name=Big Mart\n2\\match=exact\n"
                                 "2\\text=at&t mobility\n2\\name=AT&T <Wireless>\n3\\text=half written\n";
        const QByteArray skipped = "payee rule 3 is left out: the rule has no name\n";
        QByteArray renamed = cleaned("quicken");
        renamed.replace("<NAME>Pos Purchase Bigmart", "<NAME>Big Mart\n")
            .replace("At&amp;t Mobility\r", "AT&amp;T &lt;Wireless>\r\n");
        QTest::newRow("saved, listed") << saved << QByteArray() << "--list rules s.ofx" << 0
                                       << QByteArray("POS PURCHASE #123456 BIGMART\tBig Mart\t1\nCHECK 1234\t\t\n"
                                                     "AT&T MOBILITY\tAT&T <Wireless>\t2\n")
                                       << skipped;
        QTest::newRow("saved, cleaned") << saved << QByteArray() << "--stdout --target quicken s.ofx" << 0 << renamed
                                        << skipped;
        QTest::newRow("none") << saved << QByteArray() << "--no-rules --stdout --target quicken s.ofx" << 0
                              << cleaned("quicken") << QByteArray();
        QTest::newRow("a file for this run")
            << saved << QByteArray("\xEF\xBB\xBFname,match,text\r\n\"Point, of Sale\",begins,pos\r\n")
            << "--rules r.csv --list rules s.ofx" << 0
            << QByteArray("POS PURCHASE #123456 BIGMART\tPoint, of Sale\t1\nCHECK 1234\t\t\n"
                          "AT&T MOBILITY\tAt&t Mobility\t\n")
            << QByteArray();
        QTest::newRow("a malformed file") << QByteArray() << QByteArray("match,text\ncontains,pos\n")
                                          << "--rules r.csv --target quicken s.ofx" << 2 << QByteArray()
                                          << QByteArray("r.csv: Line 1: the header has no column \"name\"; it must be "
                                                        "\"match,text,name\". No statement was touched.\n");
        QTest::newRow("a name the statement cannot hold")
            << QByteArray() << QByteArray("match,text,name\ncontains,mobility,Caf\xC3\xA9\n")
            << "--rules r.csv --target quicken s.ofx" << 1 << QByteArray()
            << QByteArray("s.ofx: not cleaned: Rule 1 (contains \"mobility\") cannot write its name \"Caf\xC3\xA9\" in "
                          "this statement: the character \"\xC3\xA9\" (U+00E9) has no place in ASCII, the statement's "
                          "character set. (the statement is unchanged)\n");
    }
    void payeeRules()
    {
        QFETCH(QByteArray, store);
        QFETCH(QByteArray, rulesFile);
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        Sandbox box;
        QVERIFY(writeFile(box.path("s.ofx"), statement));
        QVERIFY(store.isEmpty() || writeFile(box.config() + "/Korvel Scrivane.ini", store));
        QVERIFY(rulesFile.isEmpty() || writeFile(box.path("r.csv"), rulesFile));
        const Run run = box.run(args.split(' '));
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        const QByteArray storeName = QDir::toNativeSeparators(box.config() + "/Korvel Scrivane.ini").toUtf8();
        QCOMPARE(QByteArray(run.err).replace("\r\n", "\n"),
                 err.isEmpty()
                     ? err
                     : "scrivane-clean: " + (err.startsWith("payee") ? storeName + ": " : QByteArray()) + err);
        QCOMPARE(readFile(box.path("s.ofx")), statement);
        QVERIFY(!box.entries().contains("s.QFX"));
    }

    // The original goes to the trash, and --keep leaves it where it is (and refuses a clean that would write over
    // it); where no trash can be made it is deleted (readOnlyDotLocal).
    void whereTheOriginalGoes()
    {
        Sandbox box;
        for (const char* name : {"t.ofx", "k.ofx", "o.ofx"})
            QVERIFY(writeFile(box.path(name), statement));
        QStringList runs;
        auto run = [&](const QString& args) {
            const Run done = box.run(args.split(' '));
            runs << QString::number(done.exitCode) + " " + done.out.trimmed() + done.err.trimmed();
        };
        run("--target quicken t.ofx");
        run("-k --target quickbooks k.ofx");
        run("--keep --target other o.ofx");
        const QString trash = originalGoesToTheTrash() ? " (original in the trash)" : "";
        QCOMPARE(runs,
                 (QStringList {"0 t.ofx -> t.QFX" + trash,
                               "0 k.ofx -> k.QBO",
                               "1 scrivane-clean: o.ofx: --keep: the cleaned file would replace the original under its "
                               "own name (the statement is unchanged)"}));
        if (!trashIsTheRecycleBin) {
            QCOMPARE(readFile(box.trashed("t.ofx")), statement);
            QCOMPARE(QDir(box.dataHome() + "/Trash/files").entryList(QDir::Files), QStringList {"t.ofx"});
        }
        QCOMPARE(box.entries(), (QStringList {"k.QBO", "k.ofx", "o.ofx", "t.QFX"}));
        QCOMPARE(readFile(box.path("k.ofx")) + readFile(box.path("o.ofx")), statement + statement);
    }

    // Whatever the cleaned file replaces goes to the trash first: last month's output beside the original, with
    // --keep too, the statement itself where the cleaned file takes its name, and the .ofx a bank's CSV file is
    // converted to for Other, which may well be the bank's own OFX download.
    void whereAReplacedFileGoes()
    {
        if (trashIsTheRecycleBin)
            QSKIP("the Recycle Bin lies out of the test's sight");
        Sandbox box;
        const QByteArray bankCsv = "Date,Payee,Amount\n2024-04-03,ACME STORE 12,-12.50\n";
        QVERIFY(writeFile(box.path("x.ofx"), statement) && writeFile(box.path("x.QFX"), "last month")
                && writeFile(box.path("k.ofx"), statement) && writeFile(box.path("k.QBO"), "last year")
                && writeFile(box.path("o.ofx"), statement) && writeFile(box.path("m.ofx"), statement)
                && writeFile(box.path("m.csv"), bankCsv));
        QStringList lines;
        for (const QString args : {"--target quicken x.ofx",
                                   "--keep --target quickbooks k.ofx",
                                   "--target other o.ofx",
                                   "--target other --account 9 m.csv"})
            lines << QString::fromUtf8(box.run(args.split(' ')).out.trimmed());
        QCOMPARE(lines,
                 (QStringList {"x.ofx -> x.QFX (original in the trash; the earlier x.QFX too)",
                               "k.ofx -> k.QBO (the earlier k.QBO in the trash)",
                               "o.ofx -> o.ofx (original in the trash)",
                               "m.csv -> m.ofx (the earlier m.ofx in the trash)"}));
        const QStringList trashed {"x.ofx", "x.QFX", "k.QBO", "o.ofx", "m.ofx"};
        QByteArray bytes;
        for (const QString& name : trashed)
            bytes += readFile(box.trashed(name)) + '|';
        QCOMPARE(bytes, statement + "|last month|last year|" + statement + '|' + statement + '|');
        QCOMPARE(readFile(box.path("x.QFX")), cleaned("quicken"));
        QCOMPARE(readFile(box.path("m.csv")), bankCsv);
        QVERIFY(readFile(box.path("m.ofx")).contains("<NAME>Acme Store"));
        QCOMPARE(box.entries(), (QStringList {"k.QBO", "k.ofx", "m.csv", "m.ofx", "o.ofx", "x.QFX"}));
    }

    // What is no statement is refused before anything is written or moved, each with a line that says what it
    // looks like, and counts as failed; the file stays as it was, also for --stdout, which prints nothing.
    void refusesWhatIsNoStatement()
    {
        Sandbox box;
        QList<std::pair<QString, QByteArray>> files {
            {"a.pdf", "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"},
            {"b.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
            {"c.zip", QByteArray("PK\x03\x04\x14\0\0\0s.ofx", 13)},
            {"d.ofx", {}},
            {"e.ofx", "Date,Amount\n2024-01-02,-12.50\n"},
            {"f.ofx", QByteArray(":OFXHEADER:1\0SECURITY:NONE\n<OFXSIGNONMSGSRSV1>\n</OFX:", 50)}};
        QStringList looks {"it looks like a PDF document",
                           "it looks like an image",
                           "it looks like a zip archive",
                           "the file is empty",
                           "it looks like a text without an <OFX> tag",
                           "it looks like neither an OFX statement nor a text"};
        // libofx's own crash inputs may only be read where the corpus is, never copied into tests/data.
        if (samples::haveCorpus()) {
            const QString libofx = samples::corpusDir() + "/real/libofx__";
            files << std::pair {QStringLiteral("g.ofx"), readFile(libofx + "heap-buffer-overflow-2.ofx")}
                  << std::pair {QStringLiteral("h.qfx"), readFile(libofx + "use-after-free.ofx")};
            looks << "it looks like neither an OFX statement nor a text"
                  << "it looks like an OFC file, the format that came before OFX";
        }
        QStringList args {"--target", "quicken"};
        QByteArray expected;
        for (qsizetype i = 0; i < files.size(); ++i) {
            QVERIFY(writeFile(box.path(files[i].first), files[i].second));
            args << files[i].first;
            expected += ("scrivane-clean: " + files[i].first + ": not a statement that can be cleaned: " + looks[i]
                         + " (the file is unchanged)\n")
                            .toUtf8();
        }
        const Run run = box.run(args);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(QByteArray(run.err).replace("\r\n", "\n"), expected);
        QCOMPARE(run.out, QByteArray());
        const Run toStdout = box.run({"--stdout", "a.pdf"});
        QCOMPARE(toStdout.out + QByteArray::number(toStdout.exitCode), "1");
        for (const auto& [name, bytes] : files)
            QVERIFY2(readFile(box.path(name)) == bytes, qPrintable(name));
        QCOMPARE(box.entries().size(), files.size());
        QVERIFY(!QFile::exists(box.dataHome() + "/Trash"));
    }

    // A bank's CSV file is converted and cleaned beside it, and stays where it
    // is. What it leaves open is a usage error naming the option to give, a row
    // that cannot be read is named by line and field, and the profile the
    // desktop program stored answers what the command line does not say.
    void bankFiles()
    {
        Sandbox box;
        const QByteArray may = "Date,Payee,Amount\n03/04/2024,ACME STORE 12,-12.50\n05/04/2024,SALARY,100\n";
        QVERIFY(writeFile(box.path("may.csv"), may)
                && writeFile(box.path("bad.csv"), "Date,Payee,Amount\n2024-01-01,A,1\n2024-01-02,B,x\n"));
        QStringList runs;
        auto run = [&](const QString& args) {
            const Run done = box.run(args.split(' '));
            runs << QString::number(done.exitCode) + " " + done.out.trimmed() + done.err.trimmed();
        };
        run("--target quickbooks may.csv");
        run("--target quickbooks --account 9 bad.csv");
        run("--target quickbooks --account 9 --date-order dmy may.csv");
        const QByteArray key
            = QCryptographicHash::hash("Date,Payee,Amount", QCryptographicHash::Sha1).toHex().left(16).toUpper();
        QVERIFY(writeFile(box.config() + "/Korvel Scrivane.ini",
                          "[BankFileProfiles]\n" + key + "=\"order=mdy,account=7\"\n"));
        run("--target quicken may.csv");
        QCOMPARE(runs,
                 (QStringList {"2 scrivane-clean: may.csv: give --account: it does not say which account it is; give "
                               "--date-order (mdy or dmy): every day in it is 12 or less, so its dates read either way",
                               "1 scrivane-clean: bad.csv: cannot be converted: line 3, Amount: \"x\" is not an "
                               "amount (it holds characters that are not part of an amount) (nothing was written)",
                               "0 may.csv -> may.QBO",
                               "0 may.csv -> may.QFX"}));
        QCOMPARE(box.entries(), (QStringList {"bad.csv", "may.QBO", "may.QFX", "may.csv"}));
        QCOMPARE(readFile(box.path("may.csv")), may);
        const QByteArray qbo = readFile(box.path("may.QBO")), qfx = readFile(box.path("may.QFX"));
        QVERIFY(qbo.contains("<ACCTID>9\r\n") && qbo.contains("<DTPOSTED>20240403\r\n<TRNAMT>-12.50\r\n"));
        QVERIFY(qbo.contains("<NAME>Acme Store</STMTTRN>") && qbo.contains("<INTU.BID>5885</SONRS>"));
        QVERIFY(qfx.contains("<ACCTID>7\r\n") && qfx.contains("<DTPOSTED>20240304\r\n<TRNAMT>-12.50\r\n"));
#ifndef Q_OS_WIN // sparse, so that it costs no disk
        // Past 1 GB a bank's file is refused before it is read, as a statement is, and nothing is written.
        QVERIFY(writeFile(box.path("huge.csv"), may) && QFile::resize(box.path("huge.csv"), 2LL << 30));
        const Run huge = box.run({"--target", "quickbooks", "--account", "9", "huge.csv"});
        QCOMPARE(huge.exitCode, 1);
        QVERIFY2(huge.err.contains("huge.csv: ") && huge.err.contains("larger than 1 GB"), huge.err.constData());
        QVERIFY(!QFileInfo::exists(box.path("huge.QBO")) && QFileInfo(box.path("huge.csv")).size() == 2LL << 30);
#endif
    }

    // --check of a bank's file places each finding at the row of its transaction in that file, which is what the
    // user can open; the OFX the rows make is never written. A QIF's card account comes first in the file but
    // second in the OFX, which puts bank accounts first.
    void checkOfABankFile()
    {
        Sandbox box;
        QVERIFY(writeFile(box.path("m.csv"), "Date,Payee,Amount\n2024-01-03,ACME,-1\n2024-01-05,,100\n"));
        QVERIFY(writeFile(box.path("t.qif"),
                          "!Account\nNVisa\nTCCard\n^\n!Type:CCard\nD2024-01-03\nT-5.00\nPCOFFEE\n^\nD2024-01-04\n"
                          "T-6.00\n^\n!Account\nNChecking\nTBank\n^\n!Type:Bank\nD2024-01-05\nT-7.00\n^\n"));
        QStringList found;
        for (const char* file : {"m.csv", "t.qif"}) {
            const Run run = box.run({"--check", "--json", "--target", "quicken", "--account", "9", file});
            QCOMPARE(run.exitCode, 0);
            for (const QByteArray& line : run.out.trimmed().split('\n')) {
                const QJsonObject o = QJsonDocument::fromJson(line).object();
                found << o["file"].toString() + u':' + QString::number(o["line"].toInt()) + u' ' + o["kind"].toString()
                        + u' ' + QString::number(o["statement"].toInt());
            }
        }
        QCOMPARE(found,
                 (QStringList {"m.csv:1 bank-id-added 0",
                               "m.csv:3 no-payee 1",
                               "t.qif:1 bank-id-added 0",
                               "t.qif:10 no-payee 2",
                               "t.qif:18 no-payee 1"}));
        QCOMPARE(box.entries(), (QStringList {"m.csv", "t.qif"}));
    }

    // A read-only statement is cleaned all the same: its output is read-only too, in its place or under the new
    // name, and the original does not stay behind. (Windows refuses to replace or delete a read-only file.)
    void readOnlyStatement_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("output");
        QTest::newRow("Other, in place") << "other"
                                         << "s.ofx";
        QTest::newRow("Quicken, new name") << "quicken"
                                           << "s.QFX";
    }
    void readOnlyStatement()
    {
        QFETCH(QString, target);
        QFETCH(QString, output);
        Sandbox box;
        QVERIFY(writeFile(box.path("s.ofx"), statement, 0444));
        const Run run = box.run({"--target", target, "s.ofx"});
        QCOMPARE(run.err + QByteArray::number(run.exitCode), QByteArray("0"));
        QCOMPARE(box.entries(), QStringList {output});
        QCOMPARE(readFile(box.path(output)), cleaned(target));
        QVERIFY(!(QFile::permissions(box.path(output)) & QFile::WriteOwner));
    }

    // --check reads each statement, cleans it in memory and says what the target would meet, at the lines of the
    // file as given, with the exit status of its errors; nothing is written. A clean says on standard error what
    // the target will meet in what it wrote, at the lines of the written file, which is written all the same.
    void checkAndAfterAClean_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QString>("written"); // the one file left
        const QByteArray twice = QByteArray(statement).replace("<FITID>2", "<FITID>1");
        const QByteArray bankId = "s.ofx:6: note: the bank identifier <INTU.BID>3000 was put into the sign-on "
                                  "response. Quicken may show a financial institution other than yours; that is "
                                  "harmless.\n";
        const QByteArray repeated = "transaction 2 (FITID 1) of statement 1: FITID \"1\" is also that of transaction 1 "
                                    "of this statement: only the first of them is imported. Make one of the two FITIDs "
                                    "different (add a letter at its end) before importing.\n";
        const QByteArray trashed = originalGoesToTheTrash() ? " (original in the trash)" : "";
        QTest::newRow("check, a warning and a note")
            << "--check --target quicken s.ofx" << statement << 0 << bankId + "s.ofx:24: warning: " + noPayee + "\n"
            << QByteArray() << "s.ofx";
        QTest::newRow("check, an error") << "--check --target other s.ofx" << twice << 1
                                         << "s.ofx:24: warning: " + QByteArray(noPayee).replace("FITID 2", "FITID 1")
                + "\ns.ofx:24: error: " + repeated
                                         << QByteArray() << "s.ofx";
        QTest::newRow("check, missing") << "--check gone.ofx" << statement << 1 << QByteArray()
                                        << QByteArray("scrivane-clean: gone.ofx: no such file\n") << "s.ofx";
        // In the written file the cleaned first name has lost its line end, so the second transaction moved up.
        QTest::newRow("clean") << "--target quicken s.ofx" << twice << 0 << "s.ofx -> s.QFX" + trashed + "\n"
                               << "s.QFX:23: error: " + repeated << "s.QFX";
        QTest::newRow("clean to standard output") << "--stdout --target quicken s.ofx" << twice << 0
                                                  << QByteArray(cleaned("quicken")).replace("<FITID>2", "<FITID>1")
                                                  << "standard output:23: error: " + repeated << "s.ofx";
    }
    void checkAndAfterAClean()
    {
        QFETCH(QString, args);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(QString, written);
        Sandbox box;
        QVERIFY(writeFile(box.path("s.ofx"), input));
        const Run run = box.run(args.split(' '));
        QCOMPARE(run.out, out);
        QCOMPARE(QByteArray(run.err).replace("\r\n", "\n"), err);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(box.entries(), QStringList {written});
        if (written == "s.ofx")
            QCOMPARE(readFile(box.path("s.ofx")), input);
        QVERIFY(!QFileInfo::exists(box.config() + "/Korvel Scrivane.ini"));
    }

    // Scripts get one JSON object a line, with what the clean itself mends marked so.
    void checkInJson()
    {
        Sandbox box;
        QByteArray faulty = QByteArray(statement).replace("<TRNAMT>-20.00", "<TRNAMT>-20,00 USD");
        QVERIFY(writeFile(box.path("s.ofx"), faulty.replace("#123456 BIGMART", "#123456 BIGMART 4411 1234")));
        const Run run = box.run({"--check", "--json", "--target", "quickbooks", "s.ofx"});
        QCOMPARE(run.exitCode, 1);
        QStringList found;
        for (const QByteArray& line : run.out.trimmed().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            found << o["kind"].toString() + u'@' + QString::number(o["line"].toInt())
                    + (o["fixedByClean"].toBool() ? "!" : "");
        }
        QCOMPARE(found, (QStringList {"bank-id-added@6", "long-name@21!", "no-payee@24", "bad-amount@26"}));
    }

    // "-" is standard input, read whole; only --stdout and --list take it, and nothing on the disk changes.
    void standardInput_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("stdout") << "--stdout --target quicken -" << cleaned("quicken");
        QTest::newRow("list") << "--list clean -" << QByteArray("Pos Purchase Bigmart\nAt&t Mobility\n");
        QTest::newRow("check") << "--check --target other -"
                               << "-:24: warning: " + noPayee + "\n";
        QTest::newRow("list, and a file") << "--list raw s.ofx -"
                                          << QByteArray("POS PURCHASE #123456 BIGMART\nCHECK 1234\nAT&T MOBILITY\n"
                                                        "POS PURCHASE #123456 BIGMART\nCHECK 1234\nAT&T MOBILITY\n");
    }
    void standardInput()
    {
        QFETCH(QString, args);
        QFETCH(QByteArray, out);
        Sandbox box;
        QVERIFY(writeFile(box.path("s.ofx"), statement));
        QProcess process;
        process.setWorkingDirectory(box.path({}));
        process.start(Sandbox::program, args.split(' '));
        QVERIFY(process.waitForStarted());
        process.write(statement);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.readAllStandardError() + QByteArray::number(process.exitCode()), QByteArray("0"));
        QCOMPARE(process.readAllStandardOutput(), out);
        QCOMPARE(box.entries(), QStringList {"s.ofx"});
        QCOMPARE(readFile(box.path("s.ofx")), statement);
    }

#ifndef Q_OS_WIN
    // Standard input that fails part way (here a folder) is named with the
    // system's reason, never taken for an empty statement.
    void unreadableStandardInput()
    {
        Sandbox box;
        const QByteArray folder = QFile::encodeName(box.path({}));
        const Run run = box.run({"--stdout", "--target", "quicken", "-"},
                                [folder] { ::dup2(::open(folder.constData(), O_RDONLY), 0); });
        QCOMPARE(run.out + run.err + QByteArray::number(run.exitCode),
                 QByteArray("scrivane-clean: -: cannot be read: Is a directory\n1"));
    }
#endif

    // Exactly one line per listed name on the corpus statements indented with tabs, where a name's value runs on
    // through the line break and the next line's tabs; no line ends in white space.
    void listPrintsOneLinePerName_data()
    {
        QTest::addColumn<QString>("file");
        // The full corpus where there is one, else the samples kept in tests/data.
        QDirIterator files(samples::haveCorpus() ? samples::corpusDir() : samples::dataDir(),
                           {"*.ofx"},
                           QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            if (readFile(file).contains("\n\t"))
                QTest::newRow(qPrintable(QFileInfo(file).fileName())) << file;
        }
    }
    void listPrintsOneLinePerName()
    {
        QFETCH(QString, file);
        // A name is listed when its value holds anything but spaces before the next tag.
        static const QRegularExpression listed("<NAME> *[^< ]", QRegularExpression::CaseInsensitiveOption);
        const qsizetype names = QString::fromLatin1(readFile(file)).count(listed);
        Sandbox box;
        const Run run = box.run({"--list", "raw", file});
        QCOMPARE(run.err + QByteArray::number(run.exitCode), QByteArray("0"));
        QByteArrayList lines = run.out.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QCOMPARE(lines.size(), names);
        for (const QByteArray& line : lines)
            QVERIFY2(!line.endsWith(' ') && !line.endsWith('\t') && !line.endsWith('\r'), line.constData());
    }

#ifndef Q_OS_WIN
    // --list prints the statement's own bytes to a pipe, and on a terminal the names as the window reads them, in
    // the terminal's encoding.
    void listOnATerminal_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("piped");
        QTest::addColumn<QString>("shown");
        QTest::newRow("1252") << QByteArray(
            "OFXHEADER:100\r\nCHARSET:1252\r\n\r\n<NAME>CAF\xC9 &amp; CO\r\n<NAME>\x80 5")
                              << QByteArray("CAF\xC9 & CO\n\x80 5\n") << QString("CAF\u00c9 & CO\n\u20ac 5\n");
        QTest::newRow("UTF-8") << QByteArray("ENCODING:UTF-8\r\n\r\n<NAME>CAF\xC3\x89") << QByteArray("CAF\xC3\x89\n")
                               << QString("CAF\u00c9\n");
        QTest::newRow("undeclared, not UTF-8")
            << QByteArray("<NAME>CAF\xC9") << QByteArray("CAF\xC9\n") << QString("CAF\u00c9\n");
    }
    void listOnATerminal()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, piped);
        QFETCH(QString, shown);
        const QString script = QStandardPaths::findExecutable("script");
        if (script.isEmpty())
            QSKIP("no script(1) to give the program a terminal");
        Sandbox box;
        QVERIFY(writeFile(box.path("s.ofx"), text));
        QCOMPARE(box.run({"--list", "raw", box.path("s.ofx")}).out, piped);
        QProcess terminal;
        terminal.start(script,
                       {"-qec", "'" + Sandbox::program + "' --list raw '" + box.path("s.ofx") + "'", "/dev/null"});
        QVERIFY(terminal.waitForFinished(60000));
        QCOMPARE(terminal.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(terminal.readAllStandardOutput()).remove('\r'), shown);
    }
#endif

    // On a terminal, where the progress text and the lines share the screen, every line starts at the left margin and
    // no progress is left at the end: the screen, carriage returns played out, shows the lines alone.
    void progressLeavesTheLinesWhole()
    {
        Sandbox box;
        QVERIFY(writeFile(box.path("a.ofx"), statement) && writeFile(box.path("b.ofx"), statement));
        std::FILE* terminal = std::tmpfile();
        QVERIFY(terminal);
        const scrivane::UserSettings store(box.config() + "/Korvel Scrivane.ini");
        const QString a = box.path("a.ofx"), b = box.path("b.ofx"), c = box.path("c.ofx");
        const auto parsed = scrivane::cli::parseArguments(
            {"--target", "quicken", "-k", a.toStdString(), c.toStdString(), b.toStdString()});
        QCOMPARE(scrivane::cli::run(parsed, store, {stdin, terminal, terminal, true}, {}), 1);
        QStringList screen;
        std::rewind(terminal);
        char line[4096];
        while (std::fgets(line, sizeof line, terminal)) {
            QString shown;
            for (const QString& overwrite : QString::fromUtf8(line).chopped(1).split('\r'))
                shown = overwrite + shown.mid(overwrite.size());
            screen << shown.trimmed();
        }
        std::fclose(terminal);
        QCOMPARE(screen,
                 (QStringList {a + " -> " + box.path("a.QFX"),
                               "scrivane-clean: " + c + ": no such file",
                               b + " -> " + box.path("b.QFX")}));
    }

    // The help says what becomes of the files and names the settings file it reads.
    void helpSaysWhatHappensToTheFiles()
    {
        Sandbox box;
        const Run run = box.run({"--help"});
        QCOMPARE(run.exitCode, 0);
        for (const QString& part : {QDir::toNativeSeparators(box.config() + "/Korvel Scrivane.ini"),
                                    QString("NAME.QBO or NAME.QFX"),
                                    QString("rewritten in place"),
                                    QString("no file is written, moved or deleted"),
                                    QString("names cleaned away are not printed")})
            QVERIFY2(run.out.contains(part.toUtf8()), qPrintable(part));
    }

#ifndef Q_OS_WIN // names Windows forbids, links, limits and users set in the child
    // Of several files, some named to trip a shell or a careless string routine, one
    // with bytes no text holds around its statement, one no statement at all, each
    // that can't be cleaned gets its own line naming it and stays as it was; the
    // others are cleaned.
    void severalFilesSomeFailing()
    {
        Sandbox box;
        static const char pdf[] = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\nstream\n"
                                  "\x78\x9c\x00\xff\x00<>\x01\x02\nendstream\n%%EOF\n";
        const QByteArray head("\x00\xff\x7f\x01", 4), tail("\x00<\xfe\x00", 4), qbo = cleaned("quickbooks");
        const QList<std::tuple<QString, QString, QByteArray, QByteArray>> good
            = {{"my \"june\" 'statement'.ofx", "my \"june\" 'statement'.QBO", statement, qbo},
               {"Relevés de juin/café.ofx", "Relevés de juin/café.QBO", statement, qbo},
               {"-june.ofx", "-june.QBO", statement, qbo},
               {"a\nb;$(touch x)|`y`&.ofx", "a\nb;$(touch x)|`y`&.QBO", statement, qbo},
               {"binary.ofx", "binary.QBO", head + statement + tail, head + qbo + tail}};
        const QStringList bad
            = {"missing.ofx", "folder.ofx", "st*.ofx", "dangling.ofx", "blocked.ofx", "huge.ofx", "report.pdf"};
        for (const char* folder : {"Relevés de juin", "folder.ofx", "blocked.QBO"})
            QVERIFY(QDir().mkpath(box.path(folder)));
        // "st*.ofx" is refused even where a file is so named: as a pattern it could name another.
        QVERIFY(QFile::link("gone.ofx", box.path("dangling.ofx")) && writeFile(box.path("star.ofx"), statement)
                && writeFile(box.path("st*.ofx"), statement) && writeFile(box.path("blocked.ofx"), statement)
                && writeFile(box.path("report.pdf"), QByteArray(pdf, sizeof pdf - 1)));
        // 2 GB, sparse so that it costs no disk.
        QVERIFY(writeFile(box.path("huge.ofx"), "<NAME>ACME\n") && QFile::resize(box.path("huge.ofx"), 2LL << 30));
        QStringList args = QStringList {"--target", "quickbooks", "--"} + bad;
        QByteArray out;
        for (const auto& [name, output, input, expected] : good) {
            QVERIFY(writeFile(box.path(name), input));
            args << name;
            out += (name + " -> " + output + " (original in the trash)\n").toUtf8();
        }
        // A program that tried to read the huge file whole is stopped here rather
        // than take the machine's memory (the sanitizer reserves far more).
        const Run run = box.run(args, [] {
            const struct rlimit memory = {1536ull << 20, 1536ull << 20};
            if (!SCRIVANE_SANITIZED)
                ::setrlimit(RLIMIT_AS, &memory);
        });
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, out);
        const QByteArrayList lines = run.err.trimmed().split('\n');
        QCOMPARE(lines.size(), bad.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(lines[i].startsWith(("scrivane-clean: " + bad[i] + ": ").toUtf8()), lines[i].constData());
        QVERIFY(lines[0].contains("no such file") && lines[3].contains("no such file")
                && lines[4].contains("blocked.QBO") && lines[5].contains("larger than 1 GB")
                && lines[6].endsWith("it looks like a PDF document (the file is unchanged)"));
        for (const auto& [name, output, input, expected] : good)
            QVERIFY2(readFile(box.path(output)) == expected && !QFileInfo::exists(box.path(name))
                         && readFile(box.trashed(QFileInfo(name).fileName())) == input,
                     qPrintable(name));
        QVERIFY(QFileInfo(box.path("blocked.QBO")).isDir() && QFileInfo(box.path("folder.ofx")).isDir());
        QVERIFY(QFileInfo(box.path("dangling.ofx")).isSymLink() && !QFileInfo::exists(box.path("x")));
        QVERIFY(readFile(box.path("blocked.ofx")) == statement && readFile(box.path("star.ofx")) == statement);
        QCOMPARE(readFile(box.path("st*.ofx")), statement);
        QCOMPARE(readFile(box.path("report.pdf")), QByteArray(pdf, sizeof pdf - 1));
        // Listing reads a statement as the clean does, so it refuses the same names with the same line.
        const Run listed = box.run({"--list", "raw", "--", "st*.ofx", "folder.ofx"});
        QCOMPARE(listed.out + QByteArray::number(listed.exitCode), "1");
        QCOMPARE(listed.err.trimmed().split('\n'), QByteArrayList({lines[2], lines[1]}));
        QCOMPARE(QFileInfo(box.path("huge.ofx")).size(), 2LL << 30);
    }

    void unreadableFileIsReportedAndKept()
    {
        Sandbox box;
        QVERIFY(writeFile(box.path("locked.ofx"), statement, 0200));
        QVERIFY(QFile::setPermissions(box.path({}), QFileDevice::Permissions(0x7777)));
        // As root it runs as "nobody", whom permissions bind.
        QString unreachable;
        const Run run = box.runUnprivileged(65534, {"--target", "quicken", "locked.ofx"}, unreachable);
        if (!unreachable.isEmpty())
            QSKIP(qPrintable(unreachable));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith("scrivane-clean: locked.ofx: cannot be read"), run.err.constData());
        QCOMPARE(box.entries(), QStringList {"locked.ofx"});
        QVERIFY(QFile::setPermissions(box.path("locked.ofx"), QFileDevice::ReadOwner));
        QCOMPARE(readFile(box.path("locked.ofx")), statement);
    }

    // A home whose .local its owner may not write in has no room for a trash: the original is deleted, as the
    // line says by naming no trash, and nothing is added to the home.
    void readOnlyDotLocal()
    {
        Sandbox box;
        const QString home = QFileInfo(box.dataHome()).path();
        QVERIFY(QDir(home).mkdir(".local") && writeFile(box.path("s.ofx"), statement));
        // As root, a child with the home's owner's uid, whom permissions bind.
        for (const QString& owned : {home, home + "/.local", box.path({}), box.path("s.ofx")})
            QVERIFY(::getuid() != 0 || ::chown(QFile::encodeName(owned).constData(), 1000, 1000) == 0);
        QVERIFY(QFile::setPermissions(home + "/.local", QFile::ReadOwner | QFile::ExeOwner));
        qunsetenv("XDG_DATA_HOME");
        QString unreachable;
        const Run run = box.runUnprivileged(1000, {"--target", "quicken", "s.ofx"}, unreachable);
        if (!unreachable.isEmpty())
            QSKIP(qPrintable(unreachable));
        QCOMPARE(run.out + run.err, QByteArray("s.ofx -> s.QFX\n"));
        QCOMPARE(box.entries(), QStringList {"s.QFX"});
        QCOMPARE(QDir(home + "/.local").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
#endif
};

QTEST_GUILESS_MAIN(TestScrivaneClean)
#include "tst_scrivane_clean.moc"
