#pragma once

#include <QString>
#include <QStringList>

namespace scrivane {

// Shows documents to the user in whatever application the desktop has for them.
// Starting can fail, and the caller must be able to tell; so can a document whose
// type no application takes. Once handed over, what the application makes of the
// document is not seen: it runs on its own.
class DocumentOpener
{
public:
    virtual ~DocumentOpener() = default;

    virtual bool start() = 0;
    // False when nothing was shown: no application takes documents of this type.
    virtual bool open(const QString& path) = 0;
};

// The desktop's default application for each file type, reached through
// QDesktopServices.
class DesktopDocumentOpener : public DocumentOpener
{
public:
    // False when this session has nothing that could open a document: on Unix
    // neither xdg-open on the PATH nor a sandbox portal.
    bool start() override;
    bool open(const QString& path) override;
};

// Whether the desktop names an application for files of path's type: on Windows
// the file type's association, on Unix what xdg-mime gives as the default for
// its MIME type. Where that cannot be told (no xdg-mime, a sandbox), true.
bool desktopHasApplicationFor(const QString& path);

} // namespace scrivane
