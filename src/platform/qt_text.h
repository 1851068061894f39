#pragma once

#include "statement/text.h"

#include <QString>
#include <QStringView>

namespace scrivane {

// The text with leading and trailing space characters removed; tabs and line
// breaks stay, as they do everywhere a path or value is trimmed.
inline QString trimmedOfSpaces(const QString& text)
{
    const QStringView view(text);
    const std::u16string_view whole(view.utf16(), static_cast<std::size_t>(view.size()));
    const std::u16string_view kept = trimSpaces(whole);
    return text.mid(kept.data() - whole.data(), static_cast<qsizetype>(kept.size()));
}

} // namespace scrivane
