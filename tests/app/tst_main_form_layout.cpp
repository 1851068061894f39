#include "app/window_caption.h"
#include "form_fixture.h"

#include <QGroupBox>
#include <QLabel>

using namespace scrivane;

namespace {

void addControl(const char* name, const char* kind, const char* caption, const char* parent, QRect geometry)
{
    QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind) << QString::fromLatin1(caption)
                        << QString::fromLatin1(parent) << geometry;
}

} // namespace

class TestMainFormLayout : public QObject
{
    Q_OBJECT

    FormFixture fixture_;

private slots:
    void init() { fixture_.reset(); }

    void caption_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("caption");
        QTest::newRow("revision 0") << 1 << 0 << "Scrivane - 1.00";
        QTest::newRow("revision 7") << 1 << 7 << "Scrivane - 1.07";
        QTest::newRow("revision 12") << 1 << 12 << "Scrivane - 1.12";
        QTest::newRow("revision 123") << 1 << 123 << "Scrivane - 1.23";
        QTest::newRow("major 10") << 10 << 3 << "Scrivane - 10.03";
    }
    void caption()
    {
        QFETCH(int, major);
        QFETCH(int, revision);
        QFETCH(QString, caption);
        QCOMPARE(mainWindowCaption(major, revision), caption);
    }

    void windowIsFixedWithACloseBoxOnly()
    {
        MainForm form(*fixture_.settings);
        QCOMPARE(form.windowTitle(), QStringLiteral("Scrivane - 1.03"));
        QCOMPARE(form.minimumSize(), QSize(610, 259));
        QCOMPARE(form.maximumSize(), QSize(610, 259));
        QVERIFY(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    // Geometry in pixels: the layout's twips divided by 15, rounded.
    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QRect>("geometry");
        addControl("Label1", "QLabel", "OFX file to clean:", "mainForm", {20, 12, 157, 17});
        addControl("fileName", "QLineEdit", "", "mainForm", {20, 36, 453, 25});
        addControl("Select", "QPushButton", "Select File", "mainForm", {484, 36, 107, 25});
        addControl("Frame1", "QGroupBox", "Make this file compatable with", "mainForm", {24, 76, 261, 89});
        addControl(
            "quickenCompat", "QRadioButton", "Quicken           - make a .QFX file", "Frame1", {12, 20, 241, 21});
        addControl("quickbooksCompat", "QRadioButton", "QuickBooks   - make a .QBO file", "Frame1", {12, 40, 209, 21});
        addControl("noCompat", "QRadioButton", "Other", "Frame1", {12, 60, 173, 21});
        addControl("nameOptions", "QPushButton", "Settings", "mainForm", {484, 88, 107, 25});
        addControl("Label2", "QLabel", "Clean payee names:", "mainForm", {336, 92, 137, 17});
        addControl("myHelp", "QPushButton", "Help", "mainForm", {484, 124, 107, 25});
        addControl("cleanFile", "QPushButton", "Clean File", "mainForm", {484, 176, 107, 25});
        addControl("myClose", "QPushButton", "Done", "mainForm", {484, 212, 107, 25});
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, parentName);
        QFETCH(QRect, geometry);
        MainForm form(*fixture_.settings);
        QWidget* widget = control<QWidget>(form, qPrintable(name));
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
        QCOMPARE(widget->parentWidget()->objectName(), parentName);
        QCOMPARE(widget->geometry(), geometry);
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), caption);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), caption);
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            QCOMPARE(frame->title(), caption);
        QCOMPARE(widget->font().families().value(0), QStringLiteral("MS Sans Serif"));
        QCOMPARE(widget->font().pointSizeF(), 9.75);
        QCOMPARE(widget->font().weight(), name == QLatin1String("cleanFile") ? QFont::Bold : QFont::Normal);
    }

    void focusStartsOnCleanFileAndFollowsTheOrder()
    {
        MainForm form(*fixture_.settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QWidget* start = control<QWidget>(form, "cleanFile");
        QCOMPARE(form.focusWidget(), start);
        QStringList order;
        QWidget* widget = start;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != start);
        QCOMPARE(order.join(u' '),
                 QStringLiteral("cleanFile fileName Select quickenCompat quickbooksCompat noCompat myClose "
                                "nameOptions myHelp"));
    }
};

QTEST_MAIN(TestMainFormLayout)
#include "tst_main_form_layout.moc"
