#pragma once

#include <QString>
#include <QWidget>

class QPushButton;

namespace scrivane {

class TextLinesView;

// The names list window: the payee names of one preview, one per line.
class NameListPreview : public QWidget
{
    Q_OBJECT

public:
    explicit NameListPreview(QWidget* parent = nullptr);

    // Replaces the whole list; the names are joined by CR LF, and the list shows
    // the lines of that text.
    void setNames(const QString& names);

private:
    TextLinesView* namelist_ = nullptr;
    QPushButton* myClose_ = nullptr;
};

} // namespace scrivane
