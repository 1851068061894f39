// File-name patterns: the wildcard match and the open dialog's filters.
#include "platform/file_pattern.h"
#include "platform/open_file_dialog.h"

#include <QTest>

using namespace scrivane;

class TestFilePattern : public QObject
{
    Q_OBJECT

private slots:
    void matchesFilePattern_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("matches");
        auto add = [](const char* tag, const char* name, const char* pattern, bool caseSensitive, bool matches) {
            QTest::newRow(tag) << QString(name) << QString(pattern) << caseSensitive << matches;
        };
        add("star", "june.ofx", "*.ofx", true, true);
        add("star, other extension", "june.qfx", "*.ofx", true, false);
        add("letter case, sensitive", "JUNE.OFX", "*.ofx", true, false);
        add("letter case, insensitive", "JUNE.OFX", "*.ofx", false, true);
        add("accented case, insensitive", "ÉTÉ.OFX", "été.ofx", false, true);
        add("question mark", "a1.ofx", "a?.ofx", true, true);
        add("question mark needs one", "a.ofx", "a?.ofx", true, false);
        add("question mark, one accented letter", "é.ofx", "?.ofx", true, true);
        add("brackets stand for themselves", "[a].ofx", "[a].ofx", true, true);
        add("brackets are no class", "a.ofx", "[a].ofx", true, false);
        add("star backtracks", "abcabd", "*abd", true, true);
        add("two stars", "x-june-2024.ofx", "*june*.ofx", true, true);
        add("stars only", "x", "**", true, true);
        add("star matches nothing", "", "*", true, true);
        add("empty pattern", "a", "", true, false);
        add("trailing text", "june.ofx.bak", "*.ofx", true, false);
    }
    void matchesFilePattern()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, matches);
        QCOMPARE(scrivane::matchesFilePattern(name, pattern, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive),
                 matches);
    }

    void qtNameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("filters");
        QTest::newRow("the window's filter")
            << "OFX Files (*.ofx)|*.ofx|QFX Files (*.qfx)|*.qfx|QBO Files (*.qbo)|*.qbo|All Files (*.*)|*.*"
            << QStringList {"OFX Files (*.ofx)", "QFX Files (*.qfx)", "QBO Files (*.qbo)", "All Files (*)"};
        QTest::newRow("patterns added to a bare description")
            << "Statements|*.ofx; *.qfx;;*.*" << QStringList {"Statements (*.ofx *.qfx *)"};
        QTest::newRow("other parentheses kept") << "Mine (old)|*.qbo" << QStringList {"Mine (old) (*.qbo)"};
        QTest::newRow("description without patterns dropped")
            << "OFX (*.ofx)|*.ofx|Orphan" << QStringList {"OFX (*.ofx)"};
        QTest::newRow("empty") << "" << QStringList {};
    }
    void qtNameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, filters);
        QCOMPARE(scrivane::qtNameFilters(filter), filters);
    }
};

QTEST_APPLESS_MAIN(TestFilePattern)
#include "tst_file_pattern.moc"
