// The payee rules' group of the settings file: what the window saves comes back
// the same, the [Prefs] keys stay as they were, and an entry that cannot be read
// is passed over by itself.
#include "settings/payee_rules_store.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace scrivane;

static QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The lines of one group of an INI text, its header included, with LF line ends
// and no blank line after it, as Windows writes CR LF and a blank line between groups.
static QByteArray groupOf(QByteArray ini, const QByteArray& name)
{
    ini.replace("\r\n", "\n");
    const qsizetype start = ini.indexOf("[" + name + "]");
    if (start < 0)
        return {};
    const qsizetype end = ini.indexOf("\n[", start);
    return ini.mid(start, end < 0 ? -1 : end - start).trimmed() + "\n";
}

class TestPayeeRulesStore : public QObject
{
    Q_OBJECT

private slots:
    void savedRulesComeBackAndPrefsStay()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Korvel Scrivane.ini");
        const QByteArray prefs = "[Prefs]\nfileName=/home/me/a, b.ofx\nmixedCase=0\nomitWords=Check PMT XXX\n";
        writeAll(path, prefs);
        const UserSettings store(path);
        const std::vector<PayeeRule> rules {
            {MatchKind::Contains, "wal mart", "Walmart"},
            {MatchKind::Begins, " sq *", "Joe's \"Best\" Coffee, Inc."},
            {MatchKind::Contains, "ACME\nCORP", "Acme; \\ #1"},
            {MatchKind::Exact, "caf\xC3\xA9", "Caf\xC3\xA9 \xE2\x82\xAC"},
            {MatchKind::Pattern, "^(AMZN|AMAZON)\\b", "=Amazon"},
        };
        QVERIFY(savePayeeRules(store, rules));
        const QByteArray saved = readAll(path).replace("\r\n", "\n");
        QCOMPARE(groupOf(saved, "Prefs"), prefs);
        // Readable by hand: one plain line a field, in whatever order the platform keeps the keys.
        for (const char* line : {"\n1\\match=contains\n", "\n1\\name=Walmart\n", "\n1\\text=wal mart\n"})
            QVERIFY2(saved.contains(line), saved.constData());
        const StoredRules read = readPayeeRules(store);
        QVERIFY(read.rules == rules);
        QVERIFY(read.skipped.empty());
        // Fewer rules leave no entry of the longer list behind.
        QVERIFY(savePayeeRules(store, {rules[3]}));
        QVERIFY(readPayeeRules(store).rules == std::vector<PayeeRule> {rules[3]});
        QCOMPARE(groupOf(readAll(path), "Prefs"), prefs);
    }

    // Entries are taken by their numbers; each one that cannot be read is named
    // with its reason, and the others come as they are.
    void unreadableEntriesAreSkipped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Korvel Scrivane.ini");
        writeAll(path,
                 "[PayeeRules]\n"
                 "1\\match=exact\n1\\text=acme\n1\\name=ACME\n"
                 "2\\text=half written\n"
                 "3\\match=sorta\n3\\text=x\n3\\name=X\n"
                 "4\\match=pattern\n4\\text=WAL[\n4\\name=W\n"
                 "x1\\text=y\nx1\\name=Y\n"
                 "10\\text=wal, mart\n10\\name=Walmart\n"
                 "size=99\n");
        const StoredRules read = readPayeeRules(UserSettings(path));
        QVERIFY((read.rules
                 == std::vector<PayeeRule> {{MatchKind::Exact, "acme", "ACME"},
                                            {MatchKind::Contains, "wal,mart", "Walmart"}}));
        QStringList skipped;
        for (const SkippedRule& s : read.skipped)
            skipped << s.entry + ": " + QString::fromStdString(s.reason);
        QCOMPARE(skipped,
                 QStringList({"x1: is named by no number",
                              "2: has no name",
                              "3: matches by \"sorta\", which is none of contains, begins, exact and pattern",
                              "4: has a pattern that does not compile: missing ]: ["}));
    }
};

QTEST_GUILESS_MAIN(TestPayeeRulesStore)
#include "tst_payee_rules_store.moc"
