#include "cli/cli_arguments.h"

#include <QtTest>

using scrivane::cli::ListMode;
using scrivane::cli::parseArguments;

namespace {
std::vector<std::string> split(const QString& line)
{
    std::vector<std::string> args;
    for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        args.push_back(word.toStdString());
    return args;
}
} // namespace

class TestCliArguments : public QObject
{
    Q_OBJECT

private slots:
    void usageErrors_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("no file") << "--target quicken";
        QTest::newRow("unknown option") << "--frobnicate a.ofx";
        QTest::newRow("bad target") << "--target excel a.ofx";
        QTest::newRow("target without value") << "a.ofx --target";
        QTest::newRow("bad list mode") << "--list all a.ofx";
        QTest::newRow("stdout with two files") << "--stdout a.ofx b.ofx";
        QTest::newRow("stdout with list") << "--stdout --list raw a.ofx";
    }
    void usageErrors()
    {
        QFETCH(QString, line);
        QVERIFY(!parseArguments(split(line)).error.empty());
    }

    void optionsAndFiles()
    {
        auto parsed = parseArguments(split("--target=quickbooks --no-proper-case --remove-dates --omit-words XX "
                                           "--list clean -- --odd.ofx b.ofx"));
        QVERIFY2(parsed.error.empty(), parsed.error.c_str());
        const auto& a = parsed.arguments;
        QCOMPARE(a.target.value_or(""), std::string("quickbooks"));
        QCOMPARE(a.properCase, std::optional<bool>(false));
        QCOMPARE(a.removeDates, std::optional<bool>(true));
        QVERIFY(!a.removeNumbers.has_value());
        QCOMPARE(a.omitWords.value_or(""), std::string("XX"));
        QCOMPARE(a.list, ListMode::Clean);
        QCOMPARE(a.files, (std::vector<std::string> {"--odd.ofx", "b.ofx"}));
    }

    void helpAndVersionNeedNoFile()
    {
        QVERIFY(parseArguments(split("--help")).error.empty());
        QVERIFY(parseArguments(split("-h")).arguments.help);
        QVERIFY(parseArguments(split("--version")).arguments.version);
    }
};

QTEST_APPLESS_MAIN(TestCliArguments)
#include "tst_cli_arguments.moc"
