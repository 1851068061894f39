#pragma once

#include "file_services.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace scrivane {

// Reads everything readSome hands out, counting: the size a file claims is only
// a hint, since files in /proc claim 0, a device never ends and another program
// may still be writing. Past largest bytes the read stops and is refused.
//
// readSome(into, room, reason) puts at most room bytes at into and returns how
// many, 0 at the end, or -1 with the system's reason. A failure names path.
template <typename ReadSome>
FileResult
readCounted(ReadSome readSome, std::int64_t hint, std::int64_t largest, QByteArray& bytes, const QString& path)
{
    constexpr std::int64_t step = std::int64_t(1) << 16;
    std::int64_t used = 0;
    // One byte more than claimed, so that the end is seen without growing.
    bytes.resize(static_cast<qsizetype>(std::min(std::max(hint + 1, step), largest + step)));
    for (;;) {
        if (used == bytes.size()) {
            if (used > largest) {
                bytes = QByteArray();
                return FileError {path, {}, FileProblem::TooLarge};
            }
            // In whole steps: some files in /proc take reads of whole records only.
            bytes.resize(static_cast<qsizetype>(std::min(used * 2, largest + step)));
        }
        QString reason;
        const std::int64_t got = readSome(bytes.data() + used, bytes.size() - used, reason);
        if (got < 0) {
            bytes = QByteArray();
            return FileError {path, reason};
        }
        if (got == 0)
            break;
        used += got;
        if (used > largest) {
            bytes = QByteArray();
            return FileError {path, {}, FileProblem::TooLarge};
        }
    }
    bytes.resize(static_cast<qsizetype>(used));
    return {};
}

} // namespace scrivane
