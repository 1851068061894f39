#pragma once

#include "application_title.h"
#include "document_opener.h"
#include "message_box.h"
#include "open_file_dialog.h"

class QWidget;

namespace scrivane {

// Everything the windows ask of the user or hand to the desktop: message boxes,
// the file-open dialog and documents shown in another application. A window is
// given one and never reaches the desktop by itself, so a test can answer each
// question beforehand and see what the user would have seen, while driving the
// real window.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // A modal box with an OK button only. The text may hold CR LF line breaks.
    // Details, when given, stay folded behind a button until the user asks.
    virtual void showMessage(QWidget* parent,
                             const QString& text,
                             MessageIcon icon = MessageIcon::None,
                             const QString& title = applicationTitle,
                             const QString& details = {})
        = 0;

    // The answer to a file-open dialog showing what request says, modal to parent.
    virtual FileDialogAnswer openFile(const FileDialogRequest& request, QWidget* parent) = 0;

    // Where documents go to be shown.
    virtual DocumentOpener& documents() = 0;
};

// The user's own desktop: Qt's message boxes and file dialog, and the
// applications the desktop has for each type of document.
class DesktopPrompts : public Prompts
{
public:
    void showMessage(
        QWidget* parent, const QString& text, MessageIcon icon, const QString& title, const QString& details) override;
    FileDialogAnswer openFile(const FileDialogRequest& request, QWidget* parent) override;
    DocumentOpener& documents() override { return documents_; }

private:
    DesktopDocumentOpener documents_;
};

} // namespace scrivane
