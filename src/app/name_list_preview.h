#pragma once

#include <QString>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace scrivane {

// The names list window: the payee names of one preview, one per line.
class NameListPreview : public QWidget
{
    Q_OBJECT

public:
    explicit NameListPreview(QWidget* parent = nullptr);

    // Replaces the whole list; the names are joined by CR LF.
    void setNames(const QString& names);

private:
    QPlainTextEdit* namelist_ = nullptr;
    QPushButton* myClose_ = nullptr;
};

} // namespace scrivane
