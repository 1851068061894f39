#include "name_list_preview.h"

#include "window_access.h"
#include "window_style.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace scrivane {

NameListPreview::NameListPreview(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("nameListPreview"));
    makeFixedToolWindow(*this, QStringLiteral("Payee Names List"), 333, 511);
    setAccessibleRole(*this, QAccessible::Dialog);

    namelist_ = placeControl<QPlainTextEdit>(this, "namelist", 20, 20, 289, 429);
    namelist_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The list is for reading and copying; nothing reads an edit back.
    namelist_->setReadOnly(true);
    namelist_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    namelist_->setTabChangesFocus(true);
    namelist_->setAccessibleName(QStringLiteral("Payee names"));

    myClose_ = placeControl<QPushButton>(this, "myClose", 224, 468, 85, 26);
    myClose_->setText(QStringLiteral("Done"));
    myClose_->setAccessibleDescription(QStringLiteral("Close the list"));
    connect(myClose_, &QPushButton::clicked, this, &QWidget::close);
    clickFocusedButtonOnEnter(*this);
}

void NameListPreview::setNames(const QString& names)
{
    // A CR LF pair is one line break here, and so is a carriage return or a line
    // feed standing alone inside a name: the box shows each as a new line.
    namelist_->setPlainText(names);
}

} // namespace scrivane
