// The steps of the simulation and what each must leave on disk.

#include "simulation/SimFiles.h"
#include "simulation/SimModel.h"

#include "history/Backups.h"
#include "store/CollectionFile.h"
#include "store/Cp932.h"
#include "store/DataFiles.h"
#include "ui/logic/MainPageLogic.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdio>

namespace simulation {

using namespace files;

namespace {

QList<TitleRecord> sorted(QList<TitleRecord> records)
{
    std::sort(records.begin(), records.end(), [](const TitleRecord& x, const TitleRecord& y) {
        return collection::formatLine(x) < collection::formatLine(y);
    });
    return records;
}

} // namespace

QString SimModel::changeStep(const Op& op)
{
    const Start start = arm(op);
    const Files& before = start.before;
    SimProgram::Told told;
    try {
        SimProgram& p = *m_program;
        switch (op.kind) {
        case Kind::Click:
            told = p.clickVolume(op.a);
            break;
        case Kind::Typed:
            told = p.typeVolumes(op.a, op.b, op.c % 2);
            break;
        case Kind::StatusClick:
            told = p.clickStatusList(op.a, op.b);
            break;
        case Kind::Field:
            told = p.editField(op.a, op.b, op.c);
            break;
        case Kind::Add:
            told = p.addTitle(op.a, op.b);
            break;
        case Kind::Delete:
            told = p.deleteTitle(op.a);
            break;
        case Kind::Memo:
            told = p.saveMemo(op.a, op.b);
            break;
        case Kind::Cover:
            told = p.importCover(op.a, op.b, m_dir.path() + QStringLiteral("/scratch"));
            break;
        case Kind::Favourites:
            told = p.saveFavourites(op.a);
            break;
        case Kind::Order:
        case Kind::SortToMain:
            told = p.reorder(op.a, op.kind == Kind::SortToMain);
            break;
        case Kind::Spreadsheet:
            told = p.importSpreadsheet(op.a, op.b);
            break;
        default:
            break;
        }
    } catch (const SimCrash&) {
        return crashedAt(start, op);
    }
    Files after;
    if (const QString problem = settle(start, told, QStringLiteral("the change"), &after); !problem.isEmpty())
        return problem;
    if (told.failed && after != before)
        return fail("partial failure",
                    QStringLiteral("the change failed but files changed: ") + changedNames(before, after).join(u' '));
    if (!told.failed) {
        if (const QString problem = checkChange(op, told, before, after); !problem.isEmpty())
            return problem;
        syncSteps(start.count, start.index, before, after);
    }
    m_files = after;
    return {};
}

QString SimModel::checkChange(const Op& op, const SimProgram::Told& told, const Files& before, const Files& after) const
{
    const QStringList changed = changedNames(before, after);
    const TitleTable tb = tableOf(before);
    const TitleTable ta = tableOf(after);
    auto only = [&](const std::function<bool(const QString&)>& allowed) -> QString {
        for (const QString& name : changed)
            if (!allowed(name))
                return fail("stray write", QStringLiteral("the step changed %1").arg(name));
        return {};
    };
    switch (op.kind) {
    case Kind::Click:
    case Kind::Typed:
    case Kind::StatusClick: {
        if (told.file.isEmpty())
            return {};
        if (QString problem = only([&](const QString& name) { return name == told.file; }); !problem.isEmpty())
            return problem;
        const Bytes was = valueOf(before, told.file);
        const Bytes now = valueOf(after, told.file);
        for (int entry : differing(was, now))
            if (!told.entries.contains(entry))
                return fail("lost outside change",
                            QStringLiteral("entry %1 of %2 changed though the step did not touch it")
                                .arg(entry)
                                .arg(told.file));
        // The volumes hold what the user asked for, applied to the file as it was just before.
        for (int entry : told.entries)
            if (statesOf(now)[entry] != told.wanted)
                return fail(
                    "stale click",
                    QStringLiteral("entry %1 of %2 does not hold the state asked for").arg(entry).arg(told.file));
        return {};
    }
    case Kind::Field: {
        if (QString problem = only([](const QString& name) { return name == collectionName(); }); !problem.isEmpty())
            return problem;
        int differ = 0;
        for (int i = 1; ta.count() == tb.count() && i <= ta.count(); ++i)
            differ += ta.at(i) != tb.at(i);
        if (ta.count() != tb.count() || differ > 1)
            return fail("lost outside change", QStringLiteral("a field edit changed %1 records (%2 -> %3)")
                                                   .arg(differ)
                                                   .arg(tb.count())
                                                   .arg(ta.count()));
        return {};
    }
    case Kind::Add:
    case Kind::Spreadsheet: {
        if (changed.isEmpty())
            return {};
        QList<TitleRecord> head = ta.records().mid(0, tb.count());
        if (ta.count() <= tb.count() || head != tb.records())
            return fail("lost outside change", QStringLiteral("adding did not keep the records before it"));
        const QStringList added = titlesOf(ta).mid(tb.count());
        const backup::TitleFiles addedFiles(added);
        return only([&](const QString& name) {
            return name == collectionName() || name == CollectionStore::RankingFileName ||
                   addedFiles.contains(name.toCaseFolded());
        });
    }
    case Kind::Delete: {
        if (changed.isEmpty())
            return {};
        if (ta.count() != tb.count() - 1)
            return fail("lost outside change",
                        QStringLiteral("a delete left %1 of %2 records").arg(ta.count()).arg(tb.count()));
        QList<TitleRecord> rest = tb.records();
        int gone = 0;
        while (gone < ta.count() && ta.at(gone + 1) == rest.at(gone))
            ++gone;
        const QString title = rest.takeAt(gone).title;
        if (rest != ta.records())
            return fail("lost outside change", QStringLiteral("a delete changed other records"));
        const backup::TitleFiles files({title});
        return only(
            [&](const QString& name) { return name == collectionName() || files.contains(name.toCaseFolded()); });
    }
    case Kind::Memo:
        return only(
            [](const QString& name) { return name.endsWith(CollectionStore::MemoSuffix, Qt::CaseInsensitive); });
    case Kind::Cover:
        return only(isCover);
    case Kind::Favourites:
        if (QString problem = only([](const QString& name) { return name == CollectionStore::RankingFileName; });
            !problem.isEmpty())
            return problem;
        // A ranking another program deleted is written again as the user saw it.
        if (before.contains(CollectionStore::RankingFileName)) {
            QStringList was = rankingfile::parse(before.value(CollectionStore::RankingFileName));
            QStringList now = rankingfile::parse(after.value(CollectionStore::RankingFileName));
            was.sort();
            now.sort();
            if (was != now)
                return fail("lost outside change", QStringLiteral("saving the ranking lost or made titles"));
        }
        return {};
    case Kind::Order:
    case Kind::SortToMain:
        if (QString problem = only([](const QString& name) { return name == collectionName(); }); !problem.isEmpty())
            return problem;
        if (!changed.isEmpty() && sorted(ta.records()) != sorted(tb.records()))
            return fail("lost outside change", QStringLiteral("a new order lost or made records"));
        return {};
    default:
        return {};
    }
}

void SimModel::syncSteps(int countBefore, int indexBefore, const Files& before, const Files& after)
{
    const QUndoStack& stack = m_program->state().history.stack();
    Q_UNUSED(countBefore);
    if (stack.index() != indexBefore + 1)
        return;
    m_steps.resize(std::min<qsizetype>(indexBefore, m_steps.size()));
    Step step;
    for (const QString& name : changedNames(before, after)) {
        step.before.insert(name, valueOf(before, name));
        step.after.insert(name, valueOf(after, name));
    }
    m_steps.append(step);
    while (m_steps.size() > stack.count())
        m_steps.removeFirst();
}

} // namespace simulation
