#include "app_icon.h"

#include <QFile>

// The icons live in a static library, whose resources the linker would drop
// unless something refers to them.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace scrivane {

QIcon applicationIcon()
{
    initIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QString file = QStringLiteral(":/icons/scrivane-%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

} // namespace scrivane
