#include "window_access.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace scrivane {

namespace {

const char* const roleProperty = "scrivaneAccessibleRole";

QAccessibleInterface* windowInterface(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->isWindow())
        return nullptr;
    const QVariant role = widget->property(roleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(widget, static_cast<QAccessible::Role>(role.toInt()));
}

class EnterClicks : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        button->click();
        return true;
    }
};

// Only the button that is on takes focus from the Tab key; the others still take
// it from a click or an arrow key.
void followCheckedOption(const QList<QRadioButton*>& group)
{
    QRadioButton* stop = group.value(0);
    for (QRadioButton* button : group) {
        if (button->isChecked())
            stop = button;
    }
    for (QRadioButton* button : group)
        button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

} // namespace

void setAccessibleRole(QWidget& window, QAccessible::Role role)
{
    static const bool installed = [] {
        QAccessible::installFactory(windowInterface);
        return true;
    }();
    Q_UNUSED(installed);
    window.setProperty(roleProperty, static_cast<int>(role));
}

void clickFocusedButtonOnEnter(QWidget& window)
{
    auto* filter = new EnterClicks(&window);
    for (QPushButton* button : window.findChildren<QPushButton*>())
        button->installEventFilter(filter);
}

void tabToCheckedOption(const QList<QRadioButton*>& group)
{
    for (QRadioButton* button : group)
        QObject::connect(button, &QRadioButton::toggled, button, [group] { followCheckedOption(group); });
    followCheckedOption(group);
}

} // namespace scrivane
