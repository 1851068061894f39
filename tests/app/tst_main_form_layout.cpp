#include "app/window_caption.h"
#include "form_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace scrivane;

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
        QTest::newRow("this release") << 1 << 3 << "Scrivane - 1.03";
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
        QCOMPARE(form.objectName(), QStringLiteral("mainForm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Scrivane - 1.03"));
        QCOMPARE(form.minimumSize(), QSize(610, 259));
        QCOMPARE(form.maximumSize(), QSize(610, 259));
        Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(form.isWindow());
    }

    // Positions in pixels: the twips of the layout divided by 15, rounded.
    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Label1") << "Label1"
                                << "QLabel"
                                << "OFX file to clean:"
                                << "mainForm" << QRect(20, 12, 157, 17);
        QTest::newRow("fileName") << "fileName"
                                  << "QLineEdit"
                                  << ""
                                  << "mainForm" << QRect(20, 36, 453, 25);
        QTest::newRow("Select") << "Select"
                                << "QPushButton"
                                << "Select File"
                                << "mainForm" << QRect(484, 36, 107, 25);
        QTest::newRow("Frame1") << "Frame1"
                                << "QGroupBox"
                                << "Make this file compatable with"
                                << "mainForm" << QRect(24, 76, 261, 89);
        QTest::newRow("quickenCompat") << "quickenCompat"
                                       << "QRadioButton"
                                       << "Quicken           - make a .QFX file"
                                       << "Frame1" << QRect(12, 20, 241, 21);
        QTest::newRow("quickbooksCompat") << "quickbooksCompat"
                                          << "QRadioButton"
                                          << "QuickBooks   - make a .QBO file"
                                          << "Frame1" << QRect(12, 40, 209, 21);
        QTest::newRow("noCompat") << "noCompat"
                                  << "QRadioButton"
                                  << "Other"
                                  << "Frame1" << QRect(12, 60, 173, 21);
        QTest::newRow("nameOptions") << "nameOptions"
                                     << "QPushButton"
                                     << "Settings"
                                     << "mainForm" << QRect(484, 88, 107, 25);
        QTest::newRow("Label2") << "Label2"
                                << "QLabel"
                                << "Clean payee names:"
                                << "mainForm" << QRect(336, 92, 137, 17);
        QTest::newRow("myHelp") << "myHelp"
                                << "QPushButton"
                                << "Help"
                                << "mainForm" << QRect(484, 124, 107, 25);
        QTest::newRow("cleanFile") << "cleanFile"
                                   << "QPushButton"
                                   << "Clean File"
                                   << "mainForm" << QRect(484, 176, 107, 25);
        QTest::newRow("myClose") << "myClose"
                                 << "QPushButton"
                                 << "Done"
                                 << "mainForm" << QRect(484, 212, 107, 25);
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
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            text = button->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            text = frame->title();
        if (kind != QLatin1String("QLineEdit"))
            QCOMPARE(text, caption);
        QVERIFY(!text.contains(u'&'));

        QFont font = widget->font();
        QCOMPARE(font.families().value(0), QStringLiteral("MS Sans Serif"));
        QCOMPARE(font.pointSizeF(), 9.75);
        QCOMPARE(font.weight(), name == QLatin1String("cleanFile") ? QFont::Bold : QFont::Normal);
    }

    void optionButtonsAreOneExclusiveGroup()
    {
        MainForm form(*fixture_.settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* quicken = control<QRadioButton>(form, "quickenCompat");
        auto* quickbooks = control<QRadioButton>(form, "quickbooksCompat");
        auto* other = control<QRadioButton>(form, "noCompat");
        for (QRadioButton* chosen : {quicken, quickbooks, other}) {
            // On the indicator: only it and the caption take a click.
            QTest::mouseClick(chosen, Qt::LeftButton, {}, QPoint(6, chosen->height() / 2));
            QCOMPARE(quicken->isChecked() + quickbooks->isChecked() + other->isChecked(), 1);
            QVERIFY(chosen->isChecked());
        }
    }

    void focusStartsOnCleanFileAndFollowsTheOrder()
    {
        MainForm form(*fixture_.settings);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.focusWidget(), control<QWidget>(form, "cleanFile"));

        QStringList order;
        QWidget* widget = control<QWidget>(form, "cleanFile");
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != control<QWidget>(form, "cleanFile"));
        QCOMPARE(order,
                 (QStringList {"cleanFile",
                               "fileName",
                               "Select",
                               "quickenCompat",
                               "quickbooksCompat",
                               "noCompat",
                               "myClose",
                               "nameOptions",
                               "myHelp"}));
    }

    void settingsAndHelpReachTheirHooks()
    {
        MainForm form(*fixture_.settings);
        int options = 0;
        int help = 0;
        click(form, "nameOptions"); // no hook yet: nothing happens
        form.setShowNameOptions([&] { ++options; });
        form.setOpenHelp([&] { ++help; });
        click(form, "nameOptions");
        click(form, "nameOptions");
        click(form, "myHelp");
        QCOMPARE(options, 2);
        QCOMPARE(help, 1);
        QVERIFY(fixture_.messages->messages().isEmpty());
    }
};

QTEST_MAIN(TestMainFormLayout)
#include "tst_main_form_layout.moc"
