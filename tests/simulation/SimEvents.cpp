// Undo and redo, restores, crashes and another program's writes, as the simulation checks them.

#include "simulation/SimFiles.h"
#include "simulation/SimModel.h"

#include "store/Cp932.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace simulation {

using namespace files;

namespace {

QByteArray cp932Bytes(const QString& text)
{
    return cp932::encode(text).bytes;
}

// Another program's write: in place (the file keeps its inode, as editors and shells write), or a new file
// renamed over it.
void writeOutside(const QString& path, const QByteArray& bytes, bool byRename)
{
    if (byRename) {
        const QString staging = path + QStringLiteral(".outside");
        {
            QFile file(staging);
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
        }
        std::rename(QFile::encodeName(staging).constData(), QFile::encodeName(path).constData());
        return;
    }
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

// A step that adds titles to the ranking takes out or puts in only its own lines, whatever else it holds then:
// the result holds what the file holds now with the step's own titles taken out or put in, in any order.
bool rankingMerged(const Bytes& made, const Bytes& target, const Bytes& now, const Bytes& result)
{
    const auto titles = [](const Bytes& bytes) { return bytes ? rankingfile::parse(*bytes) : QStringList(); };
    QStringList expected = titles(now);
    const QStringList from = titles(made);
    QStringList to = titles(target);
    for (const QString& title : from)
        if (!to.removeOne(title))
            expected.removeOne(title);
    expected += to;
    QStringList got = titles(result);
    expected.sort();
    got.sort();
    return got == expected;
}

} // namespace

QString SimModel::undoStep(bool undo, const Op& op)
{
    const char* verb = undo ? "undo" : "redo";
    const Start start = arm(op);
    const Files& before = start.before;
    const int count = start.count;
    const int index = start.index;
    const QUndoStack& stack = m_program->state().history.stack();
    SimProgram::Told told;
    try {
        told = undo ? m_program->undo() : m_program->redo();
    } catch (const SimCrash&) {
        return crashedAt(start, op);
    }
    Files after;
    if (const QString problem = settle(start, told, QStringLiteral("the ") + QLatin1String(verb), &after);
        !problem.isEmpty())
        return problem;
    // A dropped step leaves the stack shorter (and its index lower after an undo): that is no move.
    const bool moved = stack.count() == count && stack.index() == (undo ? index - 1 : index + 1);
    if (!moved) {
        if (after != before)
            return fail("partial failure", QStringLiteral("an %1 that did not go ahead changed ").arg(verb) +
                                               changedNames(before, after).join(u' '));
        if ((undo ? index > 0 : index < count) && !told.told)
            return fail("silent failure", QStringLiteral("the %1 did nothing and said nothing").arg(verb));
        // A step refused for good is dropped from the stack, with the steps next to it in the same case.
        const int dropped = count - stack.count();
        if (stack.count() == 0)
            m_steps.clear();
        else if (dropped > 0 && m_steps.size() == count)
            m_steps.remove(undo ? index - dropped : index, dropped);
        m_files = after;
        return {};
    }
    if (m_steps.size() != count)
        return fail("model",
                    QStringLiteral("the undo stack holds %1 steps, the model %2").arg(count).arg(m_steps.size()));
    const Step& step = m_steps.at(undo ? index - 1 : index);
    const QMap<QString, Bytes>& made = undo ? step.after : step.before;
    const QMap<QString, Bytes>& target = undo ? step.before : step.after;
    for (auto it = made.cbegin(); it != made.cend(); ++it) {
        const QString& name = it.key();
        const Bytes now = valueOf(before, name);
        const Bytes result = valueOf(after, name);
        if (now == *it) {
            if (result != target.value(name))
                return fail(undo ? "undo bytes" : "redo bytes",
                            QStringLiteral("%1 is not given back byte for byte").arg(name));
        } else if (result != now &&
                   !(name == CollectionStore::RankingFileName && rankingMerged(*it, target.value(name), now, result))) {
            // Changed since the step was made: only the step's own volumes may be put back over it.
            bool merged = isVolumeFile(name) && now && result;
            const QList<int> own = differing(*it, target.value(name));
            for (int entry : differing(now, result))
                merged = merged && own.contains(entry);
            if (!merged)
                return fail("lost outside change",
                            QStringLiteral("the %1 put %2 back over a change made since").arg(verb, name));
        }
    }
    for (const QString& name : changedNames(before, after))
        if (!made.contains(name))
            return fail("stray write",
                        QStringLiteral("the %1 changed %2, which its step never changed").arg(verb, name));
    m_files = after;
    return {};
}

SimModel::Files SimModel::restored(const Files& before, const Files& generation, const TitleTable& titles) const
{
    Files expected = generation;
    // The files of the present titles and of the generation's own go when the generation does not hold them.
    const Files present = owned(before, titlesOf(titles) + titlesOf(tableOf(generation)));
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!generation.contains(it.key()) && !present.contains(it.key()))
            expected.insert(it.key(), *it);
    return expected;
}

QString SimModel::restoreStep(const Op& op)
{
    const Files before = m_files;
    const TitleTable titles = m_program->state().titles;
    const QList<Generation> generations = m_program->state().backups.list();
    if (generations.isEmpty())
        return {};
    const QString chosen = generations.at(op.a % generations.size()).folderName;
    const bool known = m_generations.contains(chosen);
    const Files generation = m_generations.value(chosen);
    const Files expected = restored(before, generation, titles);
    // The generation of the present state also keeps the files of the titles the restore brings back.
    const auto note = [&] {
        noteGenerations(before, titles);
        QStringList earlier;
        for (const Generation& listed : generations)
            earlier << listed.folderName;
        for (const Generation& taken : m_program->state().backups.list())
            if (!earlier.contains(taken.folderName) &&
                taken.reasonKey == backup::reasonKey(backup::Reason::BeforeRestore))
                m_generations.insert(taken.folderName, owned(before, titlesOf(titles) + titlesOf(tableOf(generation))));
    };
    m_program->setFault({SimFault::Kind(op.fault), op.nth});
    SimProgram::Told told;
    try {
        told = m_program->restore(op.a);
    } catch (const SimCrash&) {
        note();
        return crashed(before, op, known ? &expected : nullptr);
    }
    m_program->setFault({});
    const Files after = readDisk();
    note();
    if (m_program->state().history.stack().count() == 0)
        m_steps.clear();
    if (told.failed) {
        if (after != before && !told.told)
            return fail("silent failure", QStringLiteral("a failed restore changed files without a word"));
    } else if (known && after != expected) {
        return fail("restore", QStringLiteral("the generation %1 was not given back exactly: ").arg(chosen) +
                                   changedNames(expected, after).join(u' '));
    }
    m_files = after;
    return {};
}

QString SimModel::crashed(const Files& before, const Op& op, const Files* restoring)
{
    const Files atCrash = readDisk();
    const QList<std::pair<QString, QByteArray>> written = m_program->written();
    m_program.reset();
    const bool deletes = op.kind == Kind::Delete || op.kind == Kind::Undo || op.kind == Kind::Redo || restoring;
    QStringList names = changedNames(before, atCrash);
    for (const QString& name : names) {
        if (name.startsWith(AtomicFileWriter::StagingPrefix))
            continue;
        const Bytes now = valueOf(atCrash, name);
        bool oldOrNew = (!now && deletes) || (restoring && now == valueOf(*restoring, name));
        for (const auto& [writtenName, bytes] : written)
            oldOrNew = oldOrNew || (writtenName == name && now == bytes);
        if (!oldOrNew)
            return fail("crash", QStringLiteral("after a crash %1 is neither old nor new").arg(name));
    }
    m_program = std::make_unique<SimProgram>(m_data, &m_clock);
    const Files disk = readDisk();
    for (auto it = disk.cbegin(); it != disk.cend(); ++it)
        if (it.key().startsWith(AtomicFileWriter::StagingPrefix))
            return fail("crash", QStringLiteral("the next start left a staging file"));
    if (!collection::parse(disk.value(collectionName())).ok())
        return fail("crash", QStringLiteral("the next start found the collection file damaged"));
    if (restoring) {
        bool allOld = true;
        bool allNew = true;
        for (const QString& name : changedNames(before, *restoring)) {
            allOld = allOld && valueOf(disk, name) == valueOf(before, name);
            allNew = allNew && valueOf(disk, name) == valueOf(*restoring, name);
        }
        if (!allOld && !allNew)
            return fail("crash during restore",
                        QStringLiteral("the next start found a mixed collection and neither finished nor rolled back"));
    }
    m_files = disk;
    m_steps.clear();
    m_collectionOutside = false;
    return {};
}

QString SimModel::outside(const Op& op)
{
    const TitleTable table = tableOf(m_files);
    if (table.isEmpty())
        return {};
    const TitleRecord& record = table.at(1 + op.a % table.count());
    const bool byRename = op.c % 2;
    QString name;
    QByteArray bytes;
    switch (op.kind) {
    case Kind::OutsideVolume: {
        name = record.title + CollectionStore::VolumeSuffix;
        VolumeStates states = statesOf(valueOf(m_files, name));
        const int entry = 1 + op.b % std::max<int>(1, record.volumeCount);
        states[entry] = states[entry] != 0 ? 0 : op.c % 3 == 2 ? 2 : 1;
        bytes = cp932Bytes(volumefile::format(states));
        break;
    }
    case Kind::OutsideMemo:
        name = record.title + CollectionStore::MemoSuffix;
        bytes = cp932Bytes(memofile::format(QStringLiteral("外のメモ%1").arg(op.b)));
        break;
    case Kind::OutsideRecord: {
        name = collectionName();
        TitleTable changed = table;
        if (op.b % 2) {
            changed.append({QStringLiteral("外部%1").arg(op.b % 20), 3, 0, QStringLiteral("外の著者"),
                            QStringLiteral("雑誌"), QStringLiteral("○"), QStringLiteral("2010/01/01"),
                            QStringLiteral("2010/01/01")});
        } else {
            changed[1 + op.a % table.count()].author = QStringLiteral("外の著者%1").arg(op.b);
        }
        if (!changed.isEmpty() && changed.indexOfTitle(changed.records().last().title) != changed.count())
            return {};
        bytes = cp932Bytes(collection::format(changed));
        m_collectionOutside = true;
        break;
    }
    case Kind::OutsideRanking:
        name = CollectionStore::RankingFileName;
        bytes = m_files.value(name) + cp932Bytes(rankingfile::formatLine(record.title));
        break;
    case Kind::OutsideDelete: {
        QStringList candidates;
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it)
            if (it.key() != collectionName())
                candidates << it.key();
        if (candidates.isEmpty())
            return {};
        name = candidates.at(op.b % candidates.size());
        QFile::remove(m_data + u'/' + name);
        m_files.remove(name);
        return {};
    }
    default:
        name = record.title + QStringLiteral(".gif");
        bytes = QByteArray("GIF89a outside ") + QByteArray::number(op.b);
        break;
    }
    writeOutside(m_data + u'/' + name, bytes, byRename);
    m_files.insert(name, bytes);
    return {};
}

} // namespace simulation
