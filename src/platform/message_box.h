#pragma once

#include <QString>

class QWidget;

namespace scrivane {

enum class MessageIcon { None, Critical, Information };

// Qt's modal box with an OK button only, shown at once; the windows show theirs
// through Prompts. The text may hold CR LF line breaks. Details, when given,
// stay folded behind a button until the user asks for them: a list too long
// for the message itself.
void showMessageBox(
    QWidget* parent, const QString& text, MessageIcon icon, const QString& title, const QString& details = {});

} // namespace scrivane
