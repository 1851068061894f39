#include "prompts.h"

namespace scrivane {

void DesktopPrompts::showMessage(
    QWidget* parent, const QString& text, MessageIcon icon, const QString& title, const QString& details)
{
    showMessageBox(parent, text, icon, title, details);
}

FileDialogAnswer DesktopPrompts::openFile(const FileDialogRequest& request, QWidget* parent)
{
    return showFileDialog(request, parent);
}

} // namespace scrivane
