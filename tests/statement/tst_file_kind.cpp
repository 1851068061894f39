#include "statement/file_kind.h"

#include <QTest>

#include <string>

using namespace scrivane;

namespace {

// The whole literal, NUL bytes included: a length typed by hand drifts from the text.
template <std::size_t N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

} // namespace

Q_DECLARE_METATYPE(FileKind)

class TestFileKind : public QObject
{
    Q_OBJECT

private slots:
    // A statement in either form however its tag is written; every other kind by what a
    // user would download beside one, including near misses of the tag.
    void kinds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<FileKind>("kind");
        const QByteArray sgml = "OFXHEADER:100\r\nDATA:OFXSGML\r\n\r\n<OFX>\r\n<SIGNONMSGSRSV1>\r\n";
        QTest::newRow("sgml") << sgml << FileKind::Ofx;
        QTest::newRow("xml") << QByteArray("\xef\xbb\xbf<?xml version=\"1.0\"?>\n<?OFX OFXHEADER=\"200\"?>\n<OFX >")
                             << FileKind::Ofx;
        QTest::newRow("lower case, late") << QByteArray(70000, ' ') + "<ofx>\n" << FileKind::Ofx;
        QTest::newRow("tag at the very end") << QByteArray("x<Ofx>") << FileKind::Ofx;
        QTest::newRow("NUL in a memo") << sgml + bytes("<MEMO>a\0b\n") << FileKind::Ofx;

        QTest::newRow("empty") << QByteArray() << FileKind::Empty;
        QTest::newRow("pdf") << QByteArray("%PDF-1.7\n%\xe2\xe3\n1 0 obj <OFX>") << FileKind::Pdf;
        QTest::newRow("png") << bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR") << FileKind::Image;
        QTest::newRow("jpeg") << bytes("\xff\xd8\xff\xe0\0\x10JFIF") << FileKind::Image;
        QTest::newRow("tiff") << bytes("MM\0*\0\0\0\x08") << FileKind::Image;
        QTest::newRow("webp") << bytes("RIFF\x10\0\0\0WEBPVP8 ") << FileKind::Image;
        QTest::newRow("short riff") << QByteArray("RIFF") << FileKind::Text;
        QTest::newRow("zip") << bytes("PK\x03\x04\x14\0\0\0statement.ofx") << FileKind::Zip;
        QTest::newRow("docx") << bytes("PK\x03\x04\x14\0\0\0[Content_Types].xml....word/document.xml")
                              << FileKind::WordProcessor;
        QTest::newRow("ods") << bytes("PK\x03\x04\0\0mimetypeapplication/vnd.oasis.opendocument.spreadsheet")
                             << FileKind::Spreadsheet;
        QTest::newRow("rtf") << QByteArray("{\\rtf1\\ansi <OFX>}") << FileKind::WordProcessor;
        QTest::newRow("doc or xls") << bytes("\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1\0\0") << FileKind::Office;
        QTest::newRow("web page") << QByteArray("<!DOCTYPE html>\n<html><body>Session expired</body></html>")
                                  << FileKind::WebPage;
        QTest::newRow("ofc") << QByteArray("<OFC>\n<DTSERVER>19990101\n<ACCTSTMT>") << FileKind::Ofc;
        QTest::newRow("text") << QByteArray("Date,Amount,Payee\n2024-01-02,-12.50,ACME\n") << FileKind::Text;
        QTest::newRow("tags that only begin so")
            << QByteArray("<OFXHEADER>\n<OFXSIGNON>\n</OFX>\n<OFX\n") << FileKind::Text;
        QTest::newRow("fuzzed header") << bytes(":OFXHEADER:1\0SECURITY:NONE\n<OFXSIGNONMSGSRSV1>\n</OFX:")
                                       << FileKind::Other;
        QTest::newRow("utf-16") << bytes("\xff\xfe<\0O\0F\0X\0>\0") << FileKind::Other;
    }
    void kinds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(FileKind, kind);
        QCOMPARE(fileKindOf(std::string_view(bytes.constData(), std::size_t(bytes.size()))), kind);
        // Every refusal has words, a statement none.
        QCOMPARE(fileKindName(kind).empty(), kind == FileKind::Ofx);
    }
};

QTEST_APPLESS_MAIN(TestFileKind)
#include "tst_file_kind.moc"
