#pragma once

#include "names/statement_cleaner.h"

#include <QByteArray>

namespace robust {

// What the engine makes of a statement under the default options: the bytes a
// clean must put on disk, whatever happened on the way there.
inline QByteArray engineClean(const QByteArray& text, scrivane::Target target)
{
    scrivane::SegmentList segments;
    scrivane::cleanStatement(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                             segments,
                             target,
                             scrivane::NameOptions(),
                             scrivane::LocaleRules::enUS());
    return QByteArray::fromStdString(scrivane::joinSegments(segments));
}

} // namespace robust
