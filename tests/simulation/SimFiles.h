#pragma once

#include "simulation/SimModel.h"

#include "history/Backups.h"
#include "store/CollectionFile.h"
#include "store/CollectionStore.h"
#include "store/DataFiles.h"

#include <QStringList>
#include <algorithm>

// What the simulation's checks read from a folder's files, through the program's own parsers: those are pinned
// by golden files, so the simulation can trust them to tell records and states apart.
namespace simulation::files {

using Files = SimModel::Files;
using Bytes = SimModel::Bytes;

inline const QString& collectionName()
{
    return CollectionStore::CollectionFileName;
}

inline TitleTable tableOf(const Files& files)
{
    return collection::parse(files.value(collectionName())).table;
}

inline Bytes valueOf(const Files& files, const QString& name)
{
    const auto it = files.constFind(name);
    return it == files.cend() ? Bytes() : Bytes(*it);
}

// A missing volume file reads as every volume collected.
inline VolumeStates statesOf(const Bytes& bytes)
{
    return bytes ? volumefile::parse(*bytes) : VolumeStates{};
}

inline QStringList changedNames(const Files& before, const Files& after)
{
    QStringList names;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (valueOf(after, it.key()) != *it)
            names << it.key();
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()))
            names << it.key();
    return names;
}

inline QStringList titlesOf(const TitleTable& table)
{
    QStringList titles;
    for (const TitleRecord& record : table.records())
        titles << record.title;
    return titles;
}

// The files a generation of titles holds: the program's own and those of the titles.
inline Files owned(const Files& all, const QStringList& titles)
{
    const backup::TitleFiles titleFiles(titles);
    Files kept;
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (CollectionStore::isProgramFile(it.key()) || titleFiles.contains(it.key().toCaseFolded()))
            kept.insert(it.key(), *it);
    return kept;
}

// The entries whose states differ between two versions of a volume file.
inline QList<int> differing(const Bytes& x, const Bytes& y)
{
    const VolumeStates a = statesOf(x);
    const VolumeStates b = statesOf(y);
    QList<int> entries;
    for (int k = 1; k <= volumefile::Volumes; ++k)
        if (a[k] != b[k])
            entries << k;
    return entries;
}

inline bool isVolumeFile(const QString& name)
{
    return name.endsWith(CollectionStore::VolumeSuffix, Qt::CaseInsensitive) && !CollectionStore::isProgramFile(name);
}

inline bool isCover(const QString& name)
{
    return std::any_of(CollectionStore::CoverSuffixes.cbegin(), CollectionStore::CoverSuffixes.cend(),
                       [&](const QString& suffix) { return name.endsWith(suffix, Qt::CaseInsensitive); });
}

inline QString fail(const char* category, const QString& detail)
{
    return QLatin1String(category) + QStringLiteral(": ") + detail;
}

} // namespace simulation::files
