#pragma once

#include "platform/prompts.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

#include <utility>

namespace scrivane {

struct ShownMessage
{
    QString title;
    QString text;
    MessageIcon icon;
    QString details;
};

// A desktop whose answers are given beforehand: message boxes are recorded, file
// dialogs take the next queued answer (none queued counts as cancelled) and keep
// what they were asked to show, and documents open when their suffix is taken.
// Nothing is shown, so no test waits on a modal window.
class ScriptedPrompts : public Prompts, private DocumentOpener
{
public:
    bool starts = true; // whether the desktop can open documents at all
    QStringList suffixesTaken {QStringLiteral("doc"), QStringLiteral("html")};
    QStringList opened;

    void
    showMessage(QWidget*, const QString& text, MessageIcon icon, const QString& title, const QString& details) override
    {
        messages_.append({title, text, icon, details});
    }
    const QList<ShownMessage>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

    void choose(const QString& path, int filterIndex) { answers_.append({0, {}, path, filterIndex}); }
    void cancel() { answers_.append(FileDialogAnswer {}); }
    void fail(int number, const QString& description) { answers_.append({number, description, {}, 1}); }
    const QList<FileDialogRequest>& requests() const { return requests_; }

    FileDialogAnswer openFile(const FileDialogRequest& request, QWidget*) override
    {
        requests_.append(request);
        return answers_.isEmpty() ? FileDialogAnswer {} : answers_.takeFirst();
    }

    DocumentOpener& documents() override { return *this; }

private:
    bool start() override { return starts; }
    bool open(const QString& path) override
    {
        if (!suffixesTaken.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive))
            return false;
        opened.append(path);
        return true;
    }

    QList<ShownMessage> messages_;
    QList<FileDialogAnswer> answers_;
    QList<FileDialogRequest> requests_;
};

} // namespace scrivane
