// Times what a user waits for in the desktop program on a big statement: Clean
// File, and the two names previews. Runs the real windows (use
// QT_QPA_PLATFORM=offscreen) with a private settings store; message boxes are
// recorded, not shown.
//
//   scrivane-bench-gui STATEMENT [ROUNDS]
#include "app/main_form.h"
#include "app/nam_windows.h"
#include "platform/prompts.h"
#include "settings/user_settings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

using namespace scrivane;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class Widget = QPushButton>
Widget* control(const QWidget& window, const char* name)
{
    return window.findChild<Widget*>(QLatin1String(name));
}

// Nothing may wait on a modal box between two timings: the boxes are only
// counted, and no dialog or document is ever asked for.
class QuietPrompts : public Prompts
{
public:
    int shown = 0;

    void showMessage(QWidget*, const QString&, MessageIcon, const QString&, const QString&) override { ++shown; }
    FileDialogAnswer openFile(const FileDialogRequest&, QWidget*) override { return {}; }
    DocumentOpener& documents() override { return desktop_; }

private:
    DesktopDocumentOpener desktop_;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: scrivane-bench-gui STATEMENT [ROUNDS]\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir dir;
    UserSettings settings(dir.filePath("Korvel Scrivane.ini"));
    QuietPrompts prompts;
    const QString statement = dir.filePath("statement.ofx");

    std::vector<double> cleans;
    std::vector<double> previews;
    std::vector<double> rawPreviews;
    for (int round = 0; round < rounds; ++round) {
        QFile::remove(statement);
        QFile::remove(dir.filePath("statement.QFX"));
        if (!QFile::copy(source, statement))
            return 1;
        MainForm form(settings, prompts, FileSystem::system(), LocaleRules::enUS());
        form.show();
        control<QLineEdit>(form, "fileName")->setText(statement);
        control<QRadioButton>(form, "quickenCompat")->setChecked(true);

        // Each preview of the statement, from the click until the list has been drawn.
        NameWindows windows(settings, prompts, &form, LocaleRules::enUS());
        NamOptions* options = windows.showNameOptions();
        QElapsedTimer timer;
        for (auto [button, times] : {std::pair("previewRawNames", &rawPreviews), {"previewNames", &previews}}) {
            timer.start();
            control(*options, button)->click();
            QApplication::processEvents();
            times->push_back(timer.nsecsElapsed() / 1e6);
            if (!windows.nameList()
                || control<QAbstractItemView>(*windows.nameList(), "namelist")->model()->rowCount() == 0)
                return 1;
        }

        timer.restart();
        control(form, "cleanFile")->click();
        cleans.push_back(timer.nsecsElapsed() / 1e6);
        if (!QFile::exists(dir.filePath("statement.QFX")) || prompts.shown == 0)
            return 1;
        prompts.shown = 0;
        options->close();
        if (windows.nameList())
            windows.nameList()->close();
    }
    std::printf("names in file:         median %.0f ms over %d rounds\n", median(rawPreviews), rounds);
    std::printf("cleaned names preview: median %.0f ms over %d rounds\n", median(previews), rounds);
    std::printf("Clean File:            median %.0f ms over %d rounds\n", median(cleans), rounds);
    return 0;
}
