#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace scrivane {

// The face of every window of the program: MS Sans Serif at 9.75 points where it
// exists, else the nearest in width, so the captions fit the fixed layouts.
QFont programFont();

// A window of a fixed client size with a title bar and a close box only, kept out
// of the task bar, centred on its screen. It still counts as one of the program's
// windows: the program goes on while it is open, even after the main window closed.
void makeFixedToolWindow(QWidget& window, const QString& caption, int width, int height);

// A control at a place given in pixels.
template <class Control>
Control* placeControl(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

} // namespace scrivane
