#include "output_name.h"

#include "text.h"

namespace scrivane {

namespace {

// Paths are UTF-8, and the rule counts characters, not bytes: cutting bytes could
// split a letter such as "é" and give a name that no longer decodes.
std::size_t startOfLastCharacters(std::string_view s, std::size_t count)
{
    std::size_t pos = s.size();
    while (count > 0 && pos > 0) {
        --pos;
        while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80)
            --pos;
        --count;
    }
    return pos;
}

std::size_t characterCount(std::string_view s)
{
    std::size_t n = 0;
    for (char c : s) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

} // namespace

std::string_view targetExtension(Target target)
{
    switch (target) {
    case Target::QuickBooks:
        return ".QBO";
    case Target::Quicken:
        return ".QFX";
    case Target::Other:
        break;
    }
    return {};
}

std::string outputPathFor(std::string_view trimmedPath, Target target)
{
    std::string_view ext = targetExtension(target);
    std::string path(trimmedPath);
    if (ext.empty())
        return path;
    std::size_t sep = path.find_last_of("/\\");
#ifdef _WIN32
    // "C:report" names report in the current folder of drive C.
    if (sep == std::string::npos && path.size() >= 2 && path[1] == ':' && asciiUpper(path[0]) >= 'A'
        && asciiUpper(path[0]) <= 'Z')
        sep = 1;
#endif
    std::string_view name = sep == std::string::npos ? std::string_view(path) : std::string_view(path).substr(sep + 1);
    std::size_t tailStart = startOfLastCharacters(path, ext.size());
    bool hasExtension = startsWithNoCase(std::string_view(path).substr(tailStart), ext) && path.size() - tailStart == 4;
    if (hasExtension)
        return path;
    // A name of four characters or fewer has none to spare: cutting would leave a
    // bare extension, or cut into the folder.
    if (characterCount(name) <= ext.size())
        return path + std::string(ext);
    path.resize(tailStart);
    return path + std::string(ext);
}

} // namespace scrivane
