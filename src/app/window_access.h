#pragma once

#include <QAccessible>
#include <QList>

class QRadioButton;
class QWidget;

namespace scrivane {

// What a screen reader is told a window is: a window or a dialog, not the
// "filler" a plain widget reports.
void setAccessibleRole(QWidget& window, QAccessible::Role role);

// Return and Enter click the push button that has the focus, as Space does, in
// every push button of the window at the time of the call.
void clickFocusedButtonOnEnter(QWidget& window);

// The option buttons of a group are one stop of the Tab key: Tab lands on the
// button that is on (the first one while none is), and the arrow keys move
// between them.
void tabToCheckedOption(const QList<QRadioButton*>& group);

} // namespace scrivane
