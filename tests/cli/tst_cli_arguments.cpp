// scrivane-clean's command line read into what it asks for.
#include "cli/cli_arguments.h"

#include <QTest>

using namespace scrivane::cli;

namespace {

QString shown(const std::optional<std::string>& value)
{
    return value ? QString::fromStdString(*value) : QStringLiteral("<unset>");
}

QString shown(const std::optional<bool>& value)
{
    return value ? QString::number(*value) : QStringLiteral("<unset>");
}

QStringList shown(const std::vector<std::string>& values)
{
    QStringList list;
    for (const std::string& value : values)
        list << QString::fromStdString(value);
    return list;
}

} // namespace

Q_DECLARE_METATYPE(scrivane::cli::Arguments)

class TestCliArguments : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Arguments>("asked"); // read only when there is no error
        QTest::addColumn<QString>("error");
        QTest::newRow("one file") << QStringList {"s.ofx"} << Arguments {.files = {"s.ofx"}} << "";
        QTest::newRow("target, both forms, last wins")
            << QStringList {"--target", "quicken", "a.ofx", "--target=other", "b.ofx"}
            << Arguments {.target = "other", .files = {"a.ofx", "b.ofx"}} << "";
        QTest::newRow("switches on and off, last wins") << QStringList {"--no-proper-case",
                                                                        "--remove-dates",
                                                                        "--no-remove-numbers",
                                                                        "--remove-repeat",
                                                                        "--proper-case",
                                                                        "s.ofx"}
                                                        << Arguments {.properCase = true,
                                                                      .removeDates = true,
                                                                      .removeNumbers = false,
                                                                      .removeRepeat = true,
                                                                      .files = {"s.ofx"}}
                                                        << "";
        QTest::newRow("omit words, empty value")
            << QStringList {"--omit-words=", "s.ofx"} << Arguments {.omitWords = "", .files = {"s.ofx"}} << "";
        QTest::newRow("omit words beginning with a dash")
            << QStringList {"--omit-words", "-X", "s.ofx"} << Arguments {.omitWords = "-X", .files = {"s.ofx"}} << "";
        QTest::newRow("list clean") << QStringList {"--list=clean", "s.ofx"}
                                    << Arguments {.list = ListMode::Clean, .files = {"s.ofx"}} << "";
        QTest::newRow("stdout") << QStringList {"--stdout", "s.ofx"} << Arguments {.toStdout = true, .files = {"s.ofx"}}
                                << "";
        QTest::newRow("rules listed from a file")
            << QStringList {"--list", "rules", "--rules=r.csv", "s.ofx"}
            << Arguments {.list = ListMode::Rules, .rulesFile = "r.csv", .files = {"s.ofx"}} << "";
        QTest::newRow("no rules") << QStringList {"--no-rules", "s.ofx"}
                                  << Arguments {.noRules = true, .files = {"s.ofx"}} << "";
        QTest::newRow("rules and no rules") << QStringList {"--rules", "r.csv", "--no-rules", "s.ofx"} << Arguments {}
                                            << "--rules and --no-rules cannot be used together";
        QTest::newRow("dash and double dash name files")
            << QStringList {"--list", "raw", "-", "--", "--stdout", "-h"}
            << Arguments {.list = ListMode::Raw, .files = {"-", "--stdout", "-h"}} << "";
        QTest::newRow("keep, both forms, and keep form")
            << QStringList {"-k", "--keep-form", "s.ofx"}
            << Arguments {.keepForm = true, .keep = true, .files = {"s.ofx"}} << "";
        QTest::newRow("how to read a bank's file")
            << QStringList {"--map",
                            "date=1,payee=3,debit=4,credit=5,memo=2",
                            "--date-order=dmy",
                            "--account",
                            "12-34",
                            "--account-type",
                            "creditcard",
                            "--currency=chf",
                            "--sign",
                            "reversed",
                            "b.csv"}
            << Arguments {.files = {"b.csv"},
                          .bankFile = *scrivane::mappingFromText("date=1,payee=3,debit=4,credit=5,memo=2,order=dmy,"
                                                                 "sign=reversed,account=12-34,type=creditcard,"
                                                                 "currency=CHF")}
            << "";
        QTest::newRow("check, JSON, standard input")
            << QStringList {"--check", "--json", "--keep-form", "-"}
            << Arguments {.keepForm = true, .check = true, .json = true, .files = {"-"}} << "";
        QTest::newRow("help needs no file") << QStringList {"-h"} << Arguments {.help = true} << "";
        QTest::newRow("version needs no file") << QStringList {"--version"} << Arguments {.version = true} << "";
        // Refused lines.
        QTest::newRow("no file") << QStringList {"--target", "quicken"} << Arguments {} << "no statement file named";
        QTest::newRow("unknown option") << QStringList {"--proper", "s.ofx"} << Arguments {}
                                        << "unknown option --proper";
        QTest::newRow("target misspelt") << QStringList {"--target=QuickBooks", "s.ofx"} << Arguments {}
                                         << "--target must be quickbooks, quicken or other, not \"QuickBooks\"";
        QTest::newRow("target without value")
            << QStringList {"s.ofx", "--target"} << Arguments {} << "--target needs a value";
        QTest::newRow("list mode unknown") << QStringList {"--list", "all", "s.ofx"} << Arguments {}
                                           << "--list must be raw, clean or rules, not \"all\"";
        QTest::newRow("stdout with list") << QStringList {"--stdout", "--list", "raw", "s.ofx"} << Arguments {}
                                          << "--stdout and --list cannot be used together";
        QTest::newRow("stdout with two files")
            << QStringList {"--stdout", "a.ofx", "b.ofx"} << Arguments {} << "--stdout takes exactly one file";
        QTest::newRow("standard input without --stdout, --list or --check")
            << QStringList {"-"} << Arguments {}
            << "\"-\" (standard input) can be used only with --stdout, --list or --check";
        QTest::newRow("standard input twice")
            << QStringList {"--list=raw", "-", "-"} << Arguments {} << "standard input can be read only once";
        const auto refused = [](const char* name, const QStringList& args, const char* error) {
            QTest::newRow(name) << args << Arguments {} << error;
        };
        refused("map without an amount",
                {"--map=date=1,payee=2", "b.csv"},
                "--map date=1,payee=2: it must give the date, the payee and the amount (amount=N, or debit=N and "
                "credit=N)");
        refused("map column zero",
                {"--map", "date=0,payee=1,amount=2", "b.csv"},
                "--map date=0,payee=1,amount=2: date=0: a column is a number from 1, counted from the left");
        refused("date order", {"--date-order", "dym", "b.csv"}, "--date-order must be mdy, dmy or ymd, not \"dym\"");
        refused("account type",
                {"--account-type=card", "b.csv"},
                "--account-type must be checking, savings, moneymrkt or creditcard, not \"card\"");
        refused("currency",
                {"--currency", "US", "b.csv"},
                "--currency must be a code of three letters such as USD, not \"US\"");
        refused("sign", {"--sign=up", "b.csv"}, "--sign must be normal or reversed, not \"up\"");
        refused("empty account", {"--account=", "b.csv"}, "--account needs an account number");
        // --check writes nothing, so what it would write to, or keep, makes no sense.
        for (const char* writing : {"--stdout", "--keep", "--list=raw"})
            QTest::addRow("check with %s", writing)
                << QStringList {"--check", writing, "s.ofx"} << Arguments {}
                << QString(writing).section('=', 0, 0) + " cannot be used with --check, which writes nothing";
        QTest::newRow("JSON without check")
            << QStringList {"--json", "s.ofx"} << Arguments {} << "--json is for the findings of --check";
        QTest::newRow("first error wins")
            << QStringList {"--bad", "--target=x"} << Arguments {} << "unknown option --bad";
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Arguments, asked);
        QFETCH(QString, error);
        std::vector<std::string> line;
        for (const QString& arg : args)
            line.push_back(arg.toStdString());
        const ParseResult result = parseArguments(line);
        QCOMPARE(QString::fromStdString(result.error), error);
        if (!error.isEmpty())
            return;
        const Arguments& got = result.arguments;
        QCOMPARE(shown(got.target), shown(asked.target));
        QCOMPARE(got.toStdout, asked.toStdout);
        QCOMPARE(got.keepForm, asked.keepForm);
        QCOMPARE(got.keep, asked.keep);
        QCOMPARE(got.list, asked.list);
        QCOMPARE(got.check, asked.check);
        QCOMPARE(got.json, asked.json);
        QCOMPARE(shown(got.omitWords), shown(asked.omitWords));
        QCOMPARE(shown(got.properCase), shown(asked.properCase));
        QCOMPARE(shown(got.removeDates), shown(asked.removeDates));
        QCOMPARE(shown(got.removeNumbers), shown(asked.removeNumbers));
        QCOMPARE(shown(got.removeRepeat), shown(asked.removeRepeat));
        QCOMPARE(shown(got.rulesFile), shown(asked.rulesFile));
        QCOMPARE(got.noRules, asked.noRules);
        QCOMPARE(got.help, asked.help);
        QCOMPARE(got.version, asked.version);
        QCOMPARE(shown(got.files), shown(asked.files));
        QCOMPARE(mappingText(got.bankFile), mappingText(asked.bankFile));
    }
};

QTEST_APPLESS_MAIN(TestCliArguments)
#include "tst_cli_arguments.moc"
