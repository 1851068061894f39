#include "help_document.h"

#include "platform/file_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace scrivane {

int openHelpDocument(Prompts& prompts, const QString& folder, QWidget* parent)
{
    DocumentOpener& opener = prompts.documents();
    if (!opener.start()) {
        prompts.showMessage(
            parent,
            QStringLiteral("Unable to launch MS Word. Please open the documentation file manually from ") + folder
                + QStringLiteral("."));
        return 0;
    }

    QString pattern = folder;
    if (!pattern.endsWith(QLatin1Char('/')))
        pattern += QLatin1Char('/');
    pattern += QStringLiteral("*.doc");

    const FileSystem& files = FileSystem::system();
    int found = 0;
    int opened = 0;
    QStringList unopened;
    for (const QString& path : files.findPlainFiles(pattern)) {
        // Documents named "Help for ..." are left for whoever they were written for.
        if (QFileInfo(path).fileName().contains(QStringLiteral("Help for"), Qt::CaseSensitive))
            continue;
        ++found;
        if (opener.open(path)) {
            ++opened;
            continue;
        }
        // No word processor here: a browser shows the same guide.
        const QFileInfo document(path);
        const QString page = document.dir().filePath(document.completeBaseName() + QStringLiteral(".html"));
        if (!files.findPlainFiles(page).isEmpty() && opener.open(page)) {
            ++opened;
            continue;
        }
        unopened << QDir::toNativeSeparators(path);
        if (!files.findPlainFiles(page).isEmpty())
            unopened << QDir::toNativeSeparators(page);
    }

    if (found == 0) {
        prompts.showMessage(parent,
                            QStringLiteral("Did not find the documentation file.\r\n\r\n"
                                           "Please open the document file '''' manually."),
                            MessageIcon::Critical);
    } else if (!unopened.isEmpty()) {
        prompts.showMessage(parent,
                            QStringLiteral("No program on this computer opens the user guide. "
                                           "Please open it yourself from:\r\n\r\n")
                                + unopened.join(QStringLiteral("\r\n")));
    }
    return opened;
}

int openHelpDocument(Prompts& prompts, QWidget* parent)
{
    return openHelpDocument(prompts, QCoreApplication::applicationDirPath(), parent);
}

} // namespace scrivane
