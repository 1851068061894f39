#include "file_pattern.h"

namespace scrivane {

bool matchesFilePattern(QStringView name, QStringView pattern, Qt::CaseSensitivity cs)
{
    auto same
        = [cs](QChar a, QChar b) { return cs == Qt::CaseSensitive ? a == b : a.toCaseFolded() == b.toCaseFolded(); };
    // Greedy match with one backtrack point, the last "*": linear enough for
    // file names and free of the recursion that a pattern of many stars would cost.
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool hasWildcards(QStringView path)
{
    return path.contains(u'*') || path.contains(u'?');
}

} // namespace scrivane
