#pragma once

#include <QString>

namespace scrivane {

// Shows documents to the user in whatever application the desktop has for them.
// Starting can fail, and the caller must be able to tell; once started, opening
// a document reports nothing, since the application runs on its own.
class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;

    virtual bool start() = 0;
    virtual void open(const QString& path) = 0;
};

// The desktop's default application for each file type, reached through
// QDesktopServices.
class DesktopDocumentOpener : public DocumentOpener
{
public:
    // False when this session has nothing that could open a document: on Unix
    // neither xdg-open on the PATH nor a sandbox portal.
    bool start() override;
    void open(const QString& path) override;
};

} // namespace scrivane
