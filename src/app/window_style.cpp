#include "window_style.h"

#include <QScreen>

namespace scrivane {

QFont programFont()
{
    QFont font;
    // The faces after the first are the nearest in width, so the captions fit
    // the layout; the style hint catches a system with none of them.
    font.setFamilies({QStringLiteral("MS Sans Serif"),
                      QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Tahoma"),
                      QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"),
                      QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

void makeFixedToolWindow(QWidget& window, const QString& caption, int width, int height)
{
    window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint);
    // Tool windows don't keep the program alive by default; these are top-level
    // windows of their own, so closing the main window must not end the program
    // while one of them is open. Set after the flags, which reset it.
    window.setAttribute(Qt::WA_QuitOnClose, true);
    window.setWindowTitle(caption);
    window.setFont(programFont());
    window.setFixedSize(width, height);
    if (QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace scrivane
