#include "help_document.h"

#include "platform/file_services.h"
#include "platform/message_box.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace scrivane {

int openHelpDocument(DocumentOpener& opener, const QString& folder, QWidget* parent)
{
    if (!opener.start()) {
        showMessage(parent,
                    QStringLiteral("Unable to launch MS Word. Please open the documentation file manually from ")
                        + folder + QStringLiteral("."));
        return 0;
    }

    QString pattern = folder;
    if (!pattern.endsWith(QLatin1Char('/')))
        pattern += QLatin1Char('/');
    pattern += QStringLiteral("*.doc");

    int opened = 0;
    for (const QString& path : FileSystem::system().findPlainFiles(pattern)) {
        // Documents named "Help for ..." are left for whoever they were written for.
        if (QFileInfo(path).fileName().contains(QStringLiteral("Help for"), Qt::CaseSensitive))
            continue;
        opener.open(path);
        // A document the opener could not show still counts: the user has been
        // shown an application, and a second message would only confuse.
        ++opened;
    }

    if (opened == 0) {
        showMessage(parent,
                    QStringLiteral("Did not find the documentation file.\r\n\r\n"
                                   "Please open the document file '''' manually."),
                    MessageIcon::Critical);
    }
    return opened;
}

int openHelpDocument(QWidget* parent)
{
    DesktopDocumentOpener opener;
    return openHelpDocument(opener, QCoreApplication::applicationDirPath(), parent);
}

} // namespace scrivane
