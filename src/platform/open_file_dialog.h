#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace scrivane {

// The failure number of a dialog that the user cancelled.
inline constexpr int fileDialogCancelled = 32755;

// What a file-open dialog was asked to show.
struct FileDialogRequest
{
    QString title;
    QString filter;
    int filterIndex = 1;
    QString initialFile;
    QString folder; // where it opens
};

// A file-open dialog that keeps its settings between uses, as the main window's
// dlgOpenFile does: the filter list is one string of descriptions and patterns
// separated by "|", the filter index counts from 1, and only existing files can
// be chosen.
class OpenFileDialog
{
public:
    void setTitle(const QString& title) { title_ = title; }
    void setFilter(const QString& filter) { filter_ = filter; }
    void setFilterIndex(int index) { filterIndex_ = index; }
    void setFileName(const QString& path) { fileName_ = path; }
    // The folder to open in while no file is set or the file's folder is gone:
    // that of path, when path is absolute (a stored path whose file has gone).
    void setFolderOf(const QString& path);

    const QString& title() const { return title_; }
    const QString& filter() const { return filter_; }
    int filterIndex() const { return filterIndex_; }
    const QString& fileName() const { return fileName_; }
    // The file's folder while it is there, else the folder set, else the user's
    // Downloads folder (the home folder when there is none).
    QString startFolder() const;

    // Shows the dialog, modal to parent. Returns 0 when a file was chosen (its
    // path and the filter then in use are kept), fileDialogCancelled when the user
    // cancelled, or another failure number with errorDescription() telling why.
    int showOpen(QWidget* parent);
    const QString& errorDescription() const { return errorDescription_; }

private:
    QString title_;
    QString filter_;
    int filterIndex_ = 1;
    QString fileName_;
    QString folder_;
    QString errorDescription_;
};

// The filter string as Qt's name filters, "Description (patterns)" each. A "*.*"
// pattern means every file, as it would on Windows, not only names with a dot.
QStringList qtNameFilters(const QString& filter);

// While one of these lives, file-open dialogs are answered from its queue instead
// of being shown, and what they were asked to show is recorded. A dialog with no
// answer queued counts as cancelled.
class FileDialogScript
{
public:
    FileDialogScript();
    ~FileDialogScript();
    FileDialogScript(const FileDialogScript&) = delete;
    FileDialogScript& operator=(const FileDialogScript&) = delete;

    void choose(const QString& path, int filterIndex);
    void cancel();
    void fail(int number, const QString& description);

    const QList<FileDialogRequest>& requests() const { return requests_; }

private:
    friend class OpenFileDialog;

    struct Answer
    {
        int error = 0;
        QString description;
        QString path;
        int filterIndex = 1;
    };

    std::optional<Answer> next();

    QList<Answer> answers_;
    QList<FileDialogRequest> requests_;
    FileDialogScript* previous_;
};

} // namespace scrivane
