#pragma once

#include <QFileInfo>
#include <QString>

// Sample statements: a few kept with the project in tests/data, and the full
// corpus where the build found one (SCRIVANE_CORPUS_DIR, empty when none).
namespace samples {

inline QString corpusDir()
{
    return QStringLiteral(SCRIVANE_CORPUS_DIR);
}

inline bool haveCorpus()
{
    return !corpusDir().isEmpty() && QFileInfo(corpusDir()).isDir();
}

inline constexpr const char* noCorpus
    = "the full sample corpus is absent: configure with -DSCRIVANE_CORPUS_DIR=<folder> (by default ../shared/corpus)";

inline QString dataDir()
{
    return QStringLiteral(SCRIVANE_TEST_DATA_DIR);
}

// The named sample, from the full corpus when there is one, else from
// tests/data; empty when neither holds it.
inline QString path(const QString& name)
{
    for (const QString& dir : {haveCorpus() ? corpusDir() : QString(), dataDir()}) {
        if (!dir.isEmpty() && QFileInfo(dir + u'/' + name).isFile())
            return dir + u'/' + name;
    }
    return {};
}

} // namespace samples
