#include "open_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace scrivane {

namespace {

FileDialogScript* activeScript = nullptr;

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

int OpenFileDialog::showOpen(QWidget* parent)
{
    errorDescription_.clear();
    if (activeScript) {
        activeScript->requests_.append({title_, filter_, filterIndex_, fileName_, startFolder()});
        FileDialogScript::Answer answer
            = activeScript->next().value_or(FileDialogScript::Answer {fileDialogCancelled, {}, {}, 1});
        if (answer.error == 0) {
            fileName_ = answer.path;
            filterIndex_ = answer.filterIndex;
        }
        errorDescription_ = answer.description;
        return answer.error;
    }

    const QStringList filters = qtNameFilters(filter_);
    QFileDialog dialog(parent, title_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    if (filterIndex_ >= 1 && filterIndex_ <= filters.size())
        dialog.selectNameFilter(filters[filterIndex_ - 1]);
    const QString folder = startFolder();
    dialog.setDirectory(folder);
    if (!fileName_.isEmpty() && QFileInfo(fileName_).absolutePath() == folder)
        dialog.selectFile(QFileInfo(fileName_).fileName());
    if (dialog.exec() != QDialog::Accepted)
        return fileDialogCancelled;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return fileDialogCancelled;
    fileName_ = chosen.first();
    qsizetype index = filters.indexOf(dialog.selectedNameFilter());
    if (index >= 0)
        filterIndex_ = static_cast<int>(index) + 1;
    return 0;
}

FileDialogScript::FileDialogScript()
    : previous_(activeScript)
{
    activeScript = this;
}

FileDialogScript::~FileDialogScript()
{
    activeScript = previous_;
}

void FileDialogScript::choose(const QString& path, int filterIndex)
{
    answers_.append({0, {}, path, filterIndex});
}

void FileDialogScript::cancel()
{
    answers_.append({fileDialogCancelled, {}, {}, 1});
}

void FileDialogScript::fail(int number, const QString& description)
{
    answers_.append({number, description, {}, 1});
}

std::optional<FileDialogScript::Answer> FileDialogScript::next()
{
    if (answers_.isEmpty())
        return std::nullopt;
    return answers_.takeFirst();
}

} // namespace scrivane
