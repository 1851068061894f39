#include "message_box.h"

#include <QMessageBox>

namespace scrivane {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void showMessageBox(
    QWidget* parent, const QString& text, MessageIcon icon, const QString& title, const QString& details)
{
    // The texts carry CR LF; a label would draw the CR as a glyph of its own.
    auto lines = [](QString t) { return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
    QMessageBox box(qtIcon(icon), title, lines(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty())
        box.setDetailedText(lines(details));
    box.exec();
}

} // namespace scrivane
