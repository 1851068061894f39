#pragma once

#include <QString>
#include <QStringList>

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
    // A file to write rather than one to read: any name may be given, and a
    // file already standing under it is replaced only once the user agrees.
    bool forWriting = false;
};

// What came of a file-open dialog: error 0 with the chosen file and the filter
// then in use, fileDialogCancelled, or another failure number and why.
struct FileDialogAnswer
{
    int error = fileDialogCancelled;
    QString description;
    QString path;
    int filterIndex = 1;
};

// Qt's file dialog showing request, modal to parent, only existing files to be
// chosen unless the request is for writing; the windows show theirs through Prompts.
FileDialogAnswer showFileDialog(const FileDialogRequest& request, QWidget* parent);

class Prompts;

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

    // Shows the dialog through prompts, modal to parent. Returns 0 when a file was
    // chosen (its path and the filter then in use are kept), fileDialogCancelled
    // when the user cancelled, or another failure number with errorDescription()
    // telling why.
    int showOpen(Prompts& prompts, QWidget* parent);
    // The same for a file to write (FileDialogRequest::forWriting).
    int showSave(Prompts& prompts, QWidget* parent);
    const QString& errorDescription() const { return errorDescription_; }

private:
    int show(Prompts& prompts, QWidget* parent, bool forWriting);

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

} // namespace scrivane
