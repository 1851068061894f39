#include "statement/output_name.h"

#include <QTest>

using namespace scrivane;

// The output name is pure text work, so Windows paths are checked on every
// platform; only a drive-relative name ("C:report") reads differently on Windows,
// where "C:" is a drive and not part of the name.
class TestOutputName : public QObject
{
    Q_OBJECT

private slots:
    void outputPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<Target>("target");
        QTest::addColumn<QString>("expected");
        const Target qk = Target::Quicken, qb = Target::QuickBooks, other = Target::Other;
        // clang-format off
        const struct { const char* name; const char* path; Target target; const char* expected; } rows[] = {
            {"Unix path", "/home/me/stmt.ofx", qk, "/home/me/stmt.QFX"},
            {"relative", "stmt.ofx", qb, "stmt.QBO"},
            {"extension kept in its own case", "/home/me/stmt.qbo", qb, "/home/me/stmt.qbo"},
            {"other extension of four", "statement.txt1", qk, "statement..QFX"},
            {"no extension", "/tmp/report", qk, "/tmp/re.QFX"},
            {"short name", "/tmp/abc", qk, "/tmp/abc.QFX"},
            {"Other leaves it", "/tmp/a b.ofx", other, "/tmp/a b.ofx"},
            {"accent not split", "/tmp/r\xc3\xa9sum\xc3\xa9", qk, "/tmp/r\xc3\xa9.QFX"},
            {"drive letter", "C:\\Users\\me\\stmt.ofx", qk, "C:\\Users\\me\\stmt.QFX"},
            {"drive, forward slashes", "C:/Users/me/stmt.OFX", qb, "C:/Users/me/stmt.QBO"},
            {"drive root", "D:\\stmt.ofx", qb, "D:\\stmt.QBO"},
            {"drive root, short name", "D:\\abc", qk, "D:\\abc.QFX"},
            {"UNC", "\\\\server\\share\\stmt.ofx", qk, "\\\\server\\share\\stmt.QFX"},
            {"UNC, already QFX", "\\\\server\\share\\stmt.qfx", qk, "\\\\server\\share\\stmt.qfx"},
            {"dot in a folder name", "C:\\My.Docs\\report", qk, "C:\\My.Docs\\re.QFX"},
            {"dot in a folder, short name", "C:\\My.Docs\\rep", qb, "C:\\My.Docs\\rep.QBO"},
            {"mixed separators", "C:\\My.Docs/sub\\stmt.ofx", qk, "C:\\My.Docs/sub\\stmt.QFX"},
            {"Windows path, Other", "C:\\My.Docs\\report", other, "C:\\My.Docs\\report"},
#ifdef _WIN32
            {"drive-relative", "C:abc", qk, "C:abc.QFX"},
            {"drive-relative, long", "C:report", qk, "C:re.QFX"},
#else
            {"colon is a name character", "C:abc", qk, "C.QFX"},
#endif
        };
        // clang-format on
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromUtf8(r.path) << r.target << QString::fromUtf8(r.expected);
    }

    void outputPath()
    {
        QFETCH(QString, path);
        QFETCH(Target, target);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(outputPathFor(path.toStdString(), target)), expected);
    }
};

QTEST_APPLESS_MAIN(TestOutputName)
#include "tst_output_name.moc"
