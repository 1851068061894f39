#include "open_file_dialog.h"

#include "prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace scrivane {

namespace {

QString qtPatterns(const QString& patterns)
{
    QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& part : parts) {
        part = part.trimmed();
        if (part == QLatin1String("*.*"))
            part = QStringLiteral("*");
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& patterns = parts[i + 1];
        QString own = QStringLiteral("(") + patterns + QStringLiteral(")");
        QString qt = QStringLiteral("(") + qtPatterns(patterns) + QStringLiteral(")");
        // Qt reads the patterns from the description's last parentheses, so they
        // must hold the patterns in its own form.
        if (description.endsWith(own))
            filters.append(description.chopped(own.size()) + qt);
        else
            filters.append(description + QLatin1Char(' ') + qt);
    }
    return filters;
}

void OpenFileDialog::setFolderOf(const QString& path)
{
    // A relative path would send the dialog to whatever folder the program was
    // started in.
    folder_ = QDir::isAbsolutePath(path) ? QFileInfo(path).absolutePath() : QString();
}

QString OpenFileDialog::startFolder() const
{
    for (const QString& folder : {fileName_.isEmpty() ? QString() : QFileInfo(fileName_).absolutePath(), folder_}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QFileInfo(downloads).isDir() ? downloads : QDir::homePath();
}

int OpenFileDialog::showOpen(Prompts& prompts, QWidget* parent)
{
    return show(prompts, parent, false);
}

int OpenFileDialog::showSave(Prompts& prompts, QWidget* parent)
{
    return show(prompts, parent, true);
}

int OpenFileDialog::show(Prompts& prompts, QWidget* parent, bool forWriting)
{
    const FileDialogAnswer answer
        = prompts.openFile({title_, filter_, filterIndex_, fileName_, startFolder(), forWriting}, parent);
    if (answer.error == 0) {
        fileName_ = answer.path;
        filterIndex_ = answer.filterIndex;
    }
    errorDescription_ = answer.description;
    return answer.error;
}

FileDialogAnswer showFileDialog(const FileDialogRequest& request, QWidget* parent)
{
    const QStringList filters = qtNameFilters(request.filter);
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(request.forWriting ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.forWriting ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDirectory(request.folder);
    if (!request.initialFile.isEmpty() && QFileInfo(request.initialFile).absolutePath() == request.folder)
        dialog.selectFile(QFileInfo(request.initialFile).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return {};
    const qsizetype index = filters.indexOf(dialog.selectedNameFilter());
    return {0, {}, chosen.first(), index >= 0 ? static_cast<int>(index) + 1 : request.filterIndex};
}

} // namespace scrivane
