#include "app/nam_windows.h"
#include "app/text_lines_view.h"
#include "form_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace scrivane;

class TestNameWindows : public FormTest
{
    Q_OBJECT

    static constexpr const char* flagKeys[] = {"mixedCase", "removeNumbers", "removeDates", "removeRepeat"};
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<NameWindows> windows_;

    // The word list and the four flags ("1" a checked box), as the dialog shows them or, without one, as stored.
    QString options(const QWidget* dialog = nullptr) const
    {
        QString texts = dialog ? control<QPlainTextEdit>(*dialog, "omitWords")->toPlainText() : stored("omitWords");
        for (const char* key : flagKeys)
            texts += '|' + (dialog ? QString(control<QCheckBox>(*dialog, key)->isChecked() ? "1" : "0") : stored(key));
        return texts;
    }
    // Done or the close box, then a fresh dialog that reads the store again.
    NamOptions* reopen(NamOptions* dialog, bool done = true)
    {
        done ? click(*dialog, "myClose") : void(dialog->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return windows_->nameOptions() ? nullptr : windows_->showNameOptions();
    }

    // The lines of the list, as its view shows them, joined by line feeds as a text box gives its text.
    static QString listed(const NameListPreview& list)
    {
        const QAbstractItemModel* lines = control<QAbstractItemView>(list, "namelist")->model();
        QStringList texts;
        for (int row = 0; row < lines->rowCount(); ++row)
            texts << lines->index(row, 0).data().toString();
        return texts.join('\n');
    }

    QString preview(const char* button)
    {
        click(*windows_->showNameOptions(), button);
        NameListPreview* list = windows_->nameList();
        return list && list->isVisible() ? listed(*list) : "<no list>";
    }

private slots:
    void init()
    {
        reset();
        form_ = std::make_unique<MainForm>(*settings, prompts);
        windows_ = std::make_unique<NameWindows>(*settings, prompts, form_.get(), LocaleRules::enUS());
    }

    // One dialog, on an empty store showing the defaults; the close box drops changes, Done stores them ("1"/"0").
    void optionsDialog()
    {
        connect(form_.get(), &MainForm::nameOptionsRequested, this, [this] { windows_->showNameOptions(); });
        click(*form_, "nameOptions");
        NamOptions* dialog = windows_->nameOptions();
        QCOMPARE(options(dialog), QStringLiteral("Check PMT XXX|1|1|1|1"));
        control<QCheckBox>(*dialog, "removeRepeat")->setChecked(false);
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText("changed");
        click(*form_, "nameOptions");
        QCOMPARE(windows_->nameOptions(), dialog);
        QCOMPARE(options(dialog), QStringLiteral("changed|1|1|1|0"));
        QVERIFY((dialog = reopen(dialog, false)));
        QVERIFY(!QFile::exists(settings->fileName()));
        QCOMPARE(options(dialog), QStringLiteral("Check PMT XXX|1|1|1|1"));
        QVERIFY((dialog = reopen(dialog)));
        QCOMPARE(options(), QStringLiteral("Check PMT XXX|1|1|1|1"));
        control<QCheckBox>(*dialog, "removeDates")->setChecked(false);
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText("Check PMT\nXXX\n\nPOS\n");
        QVERIFY((dialog = reopen(dialog)));
        QCOMPARE(options(), QStringLiteral("Check PMT\r\nXXX\r\n\r\nPOS\r\n|1|1|0|1"));
        QCOMPARE(options(dialog), QStringLiteral("Check PMT\nXXX\n\nPOS\n|1|1|0|1"));
    }

    // Flag texts the dialog never writes: checked exactly when a clean takes the flag as on.
    void storedFlagTexts()
    {
        NamOptions* dialog = windows_->showNameOptions();
        for (const auto& [text, on] : {std::pair("", "0"), {"True", "1"}, {"7", "1"}, {"abc", "0"}}) {
            for (const char* key : flagKeys)
                store(key, text);
            QVERIFY((dialog = reopen(dialog, false)));
            QCOMPARE(options(dialog), QString("Check PMT XXX|%1|%1|%1|%1").arg(on));
        }
    }

    // Without a file nothing is saved; a preview stores the options on screen, then fills the one list window with
    // the names in display form (five entities in any case, "&amp;" first; references stay), CDATA without markup.
    void previews()
    {
        QCOMPARE(preview("previewNames"), QStringLiteral("<no list>"));
        QCOMPARE(shown(),
                 "critical: No valid OFX file entered. Please select a valid file before previewing the names in it.");
        QVERIFY(!QFile::exists(settings->fileName()));

        writeFile(path("s.ofx"),
                  "<NAME>JOHN &amp; &QUOT;SONS&quot; 42 XXX<NAME>  <NAME>ACH<NAME>LEE &lt;&#38;"
                  "<name><![CDATA[ A<B ]]></name><NAME>&amp;lt;&AmP;Gt;");
        box(*form_)->setText(path("s.ofx"));
        NamOptions* dialog = windows_->showNameOptions();
        control<QCheckBox>(*dialog, "mixedCase")->setChecked(false);
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText("xxx ACH");
        QCOMPARE(preview("previewRawNames"), QStringLiteral("JOHN & \"SONS\" 42 XXX\nACH\nLEE <&#38;\nA<B\n<>"));
        QCOMPARE(options(), QStringLiteral("xxx ACH|0|1|1|1"));
        NameListPreview* list = windows_->nameList();
        control<QPlainTextEdit>(*dialog, "omitWords")->setPlainText("xxx ACH LEE");
        QCOMPARE(preview("previewNames"), QStringLiteral("JOHN & \"SONS\"\n<&#38;\nA<B\n<>"));
        QCOMPARE(windows_->nameList(), list);
        QCOMPARE(readFile(path("s.ofx")).count("<NAME>"), 5);
    }

    // The preview takes the path as Clean File does: without surrounding spaces, and never as a pattern. A pattern
    // that matches some file lists nothing but saves the options; one that matches nothing saves nothing.
    void previewTakesThePathAsCleanFileDoes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("names");
        QTest::newRow("spaces around") << "  DIR/s.ofx "
                                       << "Acme Store";
        QTest::newRow("pattern matching a file") << "DIR/s*.ofx"
                                                 << "";
#ifdef Q_OS_WIN
        QTest::newRow("pattern matching a file by \"?\"") << "DIR/l?.ofx"
                                                          << "";
#else
        QTest::newRow("pattern that is also a name") << "DIR/l?.ofx"
                                                     << "";
#endif
        QTest::newRow("pattern matching nothing") << "DIR/z*.ofx"
                                                  << "<no list>";
        QTest::newRow("missing file") << " DIR/z.ofx"
                                      << "<no list>";
    }
    void previewTakesThePathAsCleanFileDoes()
    {
        QFETCH(QString, text);
        QFETCH(QString, names);
        // Windows forbids "?" in a name; there "l?.ofx" can only be a pattern.
#ifdef Q_OS_WIN
        QVERIFY(writeFile(path("l1.ofx"), "<NAME>LITERAL"));
#else
        QVERIFY(writeFile(path("l?.ofx"), "<NAME>LITERAL"));
#endif
        box(*form_)->setText(text.replace("DIR", dir->path()));
        QCOMPARE(preview("previewNames"), names);
        QCOMPARE(stored("mixedCase"), names == "<no list>" ? "<absent>" : "1");
    }

    // What a screen reader is told of the two windows, and Enter on each of their buttons.
    void accessibleAndEnter()
    {
        box(*form_)->setText(path("s.ofx"));
        NamOptions* dialog = windows_->showNameOptions();
        preview("previewRawNames");
        NameListPreview* list = windows_->nameList();
        auto face = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); };
        QCOMPARE(face(dialog)->role(), QAccessible::Dialog);
        QCOMPARE(face(list)->role(), QAccessible::Dialog);
        QCOMPARE(face(dialog)->text(QAccessible::Name), QStringLiteral("Name Cleaning Options"));
        QCOMPARE(face(control(*dialog, "omitWords"))->text(QAccessible::Name),
                 QStringLiteral("Remove these words from names"));
        QCOMPARE(face(control(*list, "namelist"))->text(QAccessible::Name), QStringLiteral("Payee names"));
        QVERIFY(!face(control(*dialog, "previewNames"))->text(QAccessible::Description).isEmpty());

        QStringList clicked;
        for (QWidget* window : {static_cast<QWidget*>(dialog), static_cast<QWidget*>(list)}) {
            window->show();
            QApplication::setActiveWindow(window);
            QTRY_COMPARE(QApplication::activeWindow(), window);
            for (auto* button : window->findChildren<QPushButton*>()) {
                if (button->objectName() == "myClose")
                    continue;
                button->setFocus();
                QCOMPARE(QApplication::focusWidget(), button);
                QSignalSpy spy(button, &QPushButton::clicked);
                QTest::keyClick(button, Qt::Key_Return);
                clicked << button->objectName() + ":" + QString::number(spy.size());
            }
            auto* done = control<QPushButton>(*window, "myClose");
            QApplication::setActiveWindow(window);
            done->setFocus();
            QCOMPARE(QApplication::focusWidget(), done);
            QTest::keyClick(done, Qt::Key_Enter, Qt::KeypadModifier);
            clicked << window->objectName() + (window->isVisible() ? " open" : " closed");
        }
        QCOMPARE(clicked.join(' '),
                 "payeeRules:1 previewRawNames:1 previewNames:1 namOptions closed nameListPreview closed");
    }

    // The list holds the lines of the text the box held: a name that ends its line in the file leaves an empty line
    // after it. Keys and the mouse select whole lines, copied as text; a screen reader meets the lines as list items.
    void listReadsAsTheTextBoxDid()
    {
        QByteArray statement;
        QStringList names;
        for (int k = 1; k <= 60; ++k) {
            names << QString("N%1").arg(k) << "";
            statement += "<STMTTRN><NAME>" + names[2 * k - 2].toLatin1() + "\r\n</STMTTRN>";
        }
        writeFile(path("s.ofx"), statement + "<NAME>CAF&amp;\xC3\xA9\xC2\xA0X");
        box(*form_)->setText(path("s.ofx"));
        QCOMPARE(preview("previewRawNames"), names.join('\n') + "\nCAF&\u00e9\u00a0X");
        NameListPreview* list = windows_->nameList();
        auto* view = control<TextLinesView>(*list, "namelist");
        QApplication::setActiveWindow(list);
        view->setFocus();
        QTRY_VERIFY(view->hasFocus());
        auto row = [view] { return view->currentIndex().row(); };
        auto copied = [view] {
            QApplication::clipboard()->clear();
            QTest::keySequence(view, QKeySequence::Copy);
            return QApplication::clipboard()->text();
        };

        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(row(), 120);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(row(), 0);
        QTest::keyClick(view, Qt::Key_PageDown);
        QVERIFY2(row() > 10 && row() < 40, qPrintable(QString::number(row())));
        QTest::keyClick(view, Qt::Key_Home);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(copied(), "N1\n\nN2");
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(6, 0)).center());
        QTest::mouseClick(
            view->viewport(), Qt::LeftButton, Qt::ShiftModifier, view->visualRect(view->model()->index(4, 0)).center());
        QCOMPARE(copied(), "N3\n\nN4");
        QTest::keySequence(view, QKeySequence::SelectAll);
        QCOMPARE(copied(), names.join('\n') + "\nCAF&\u00e9 X");

        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view);
        QCOMPARE(face->role(), QAccessible::List);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Payee names"));
        QCOMPARE(face->childCount(), 121);
        QCOMPARE(face->child(2)->role(), QAccessible::ListItem);
        QCOMPARE(face->child(2)->text(QAccessible::Name), QStringLiteral("N2"));
    }

    // The program runs on while the dialog is open, and a preview then takes the path last stored, not the box's.
    void afterTheMainWindowClosed()
    {
        QVERIFY(writeFile(path("stored.ofx"), "<NAME>STORED"));
        store("fileName", path("stored.ofx"));
        box(*form_)->setText(path("s.ofx"));
        auto* form = form_.release();
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
        QPointer<NamOptions> dialog = windows_->showNameOptions();
        QObject scope; // the timers end with this test, whatever happens
        QString names;
        QTimer::singleShot(0, &scope, [form] { form->close(); });
        QTimer::singleShot(50, &scope, [&] {
            names = preview("previewRawNames");
            if (auto* list = windows_->nameList())
                list->close();
            click(*dialog, "myClose");
        });
        QTimer::singleShot(5000, &scope, [] { QCoreApplication::exit(7); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(names, QStringLiteral("STORED"));
        QVERIFY(!dialog);
    }
};

QTEST_MAIN(TestNameWindows)
#include "tst_name_windows.moc"
