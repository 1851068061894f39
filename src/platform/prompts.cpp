#include "prompts.h"

namespace scrivane {

void DesktopPrompts::showMessage(QWidget* parent, const QString& text, MessageIcon icon, const QString& title)
{
    showMessageBox(parent, text, icon, title);
}

FileDialogAnswer DesktopPrompts::openFile(const FileDialogRequest& request, QWidget* parent)
{
    return showFileDialog(request, parent);
}

} // namespace scrivane
