#pragma once

#include "application_title.h"

#include <QList>
#include <QString>

class QWidget;

namespace scrivane {

enum class MessageIcon { None, Critical, Information };

struct ShownMessage
{
    QString title;
    QString text;
    MessageIcon icon;
};

// A modal box with an OK button only. The text may hold CR LF line breaks.
void showMessage(QWidget* parent,
                 const QString& text,
                 MessageIcon icon = MessageIcon::None,
                 const QString& title = applicationTitle);

// While one of these lives, boxes are recorded instead of shown: tests see what
// the user would have seen and never wait on a modal box.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<ShownMessage>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

private:
    friend void showMessage(QWidget*, const QString&, MessageIcon, const QString&);

    QList<ShownMessage> messages_;
    MessageRecorder* previous_;
};

} // namespace scrivane
