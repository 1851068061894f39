#include "console.h"

#include <algorithm>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace scrivane {

bool isTerminal(std::FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) == 1;
#endif
}

void useBinaryMode(std::FILE* stream)
{
#ifdef _WIN32
    std::fflush(stream);
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}

bool printOnTerminal(std::FILE* stream, const QString& text)
{
#ifdef _WIN32
    const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (console != INVALID_HANDLE_VALUE && GetConsoleMode(console, &mode)) {
        if (std::fflush(stream) != 0)
            return false;
        // A console takes a limited number of characters per call.
        constexpr qsizetype chunk = 8192;
        for (qsizetype at = 0; at < text.size(); at += chunk) {
            const auto length = static_cast<DWORD>(std::min<qsizetype>(chunk, text.size() - at));
            DWORD written = 0;
            if (!WriteConsoleW(console, text.utf16() + at, length, &written, nullptr) || written != length)
                return false;
        }
        return true;
    }
#endif
    const QByteArray bytes = text.toLocal8Bit();
    return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream)
        == static_cast<std::size_t>(bytes.size());
}

} // namespace scrivane
