#include "process_setup.h"

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "windows_file_system.h"
#else
#include <csignal>
#endif

namespace scrivane {

namespace {

QtMessageHandler qtHandler = nullptr;

void withoutTrashWarning(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    // Qt's own words, the only handle on this warning it gives.
    if (type == QtWarningMsg && text.startsWith(QLatin1String("Unable to establish trash directory")))
        return;
    if (qtHandler)
        qtHandler(type, context, text);
}

} // namespace

void setUpProcess()
{
    static bool done = false;
    if (done)
        return;
    done = true;
#ifdef Q_OS_WIN
    removeStagingOnConsoleExit();
#else
    ::signal(SIGXFSZ, SIG_IGN);
#endif
    qtHandler = qInstallMessageHandler(withoutTrashWarning);
}

} // namespace scrivane
