#include "output_name.h"

#include "text.h"

namespace scrivane {

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
    std::size_t nameLength = sep == std::string::npos ? path.size() : path.size() - sep - 1;
    if (nameLength <= ext.size()) {
        // "x.qbo" is too long for this branch; a bare ".QBO" name is not, and
        // keeps its name as it is.
        if (nameLength == ext.size() && startsWithNoCase(std::string_view(path).substr(path.size() - 4), ext))
            return path;
        return path + std::string(ext);
    }
    std::string_view tail = std::string_view(path).substr(path.size() - 4);
    if (startsWithNoCase(tail, ext))
        return path;
    path.resize(path.size() - 4);
    return path + std::string(ext);
}

} // namespace scrivane
