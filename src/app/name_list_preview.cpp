#include "name_list_preview.h"

#include "text_lines_view.h"
#include "window_access.h"
#include "window_style.h"

#include <QPushButton>

namespace scrivane {

NameListPreview::NameListPreview(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("nameListPreview"));
    makeFixedToolWindow(*this, QStringLiteral("Payee Names List"), 333, 511);
    setAccessibleRole(*this, QAccessible::Dialog);

    // The list is for reading and copying; a view of its lines, not a text
    // document, so that a statement of many names opens at once.
    namelist_ = placeControl<TextLinesView>(this, "namelist", 20, 20, 289, 429);
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
    // feed standing alone inside a name: each starts a new line of the list.
    namelist_->setText(names);
}

} // namespace scrivane
