#include "simulation/SimModel.h"
#include "simulation/SimFiles.h"

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

QByteArray cp932Bytes(const QString& text)
{
    return cp932::encode(text).bytes;
}

} // namespace

SimModel::SimModel() = default;
SimModel::~SimModel() = default;

QString SimModel::start()
{
    if (!m_dir.isValid())
        return QStringLiteral("no temporary folder");
    m_data = m_dir.path() + QStringLiteral("/data");
    QDir().mkpath(m_data);
    QDir().mkpath(m_dir.path() + QStringLiteral("/scratch"));
    TitleTable table;
    const int counts[] = {8, 12, 5, 50};
    for (int i = 0; i < 4; ++i)
        table.append({QStringLiteral("作品%1").arg(i + 1), qint16(counts[i]), 0, QStringLiteral("著者%1").arg(i),
                      QStringLiteral("雑誌"), QStringLiteral("○"), QStringLiteral("2001/02/03"),
                      QStringLiteral("2005/06/07")});
    auto put = [&](const QString& name, const QByteArray& bytes) {
        QFile file(m_data + u'/' + name);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    bool ok = put(collectionName(), cp932Bytes(collection::format(table)));
    for (int i = 1; i <= 3; ++i) {
        VolumeStates states{};
        states[i] = 1;
        states[i + 2] = 1;
        ok = ok && put(table.at(i).title + CollectionStore::VolumeSuffix, cp932Bytes(volumefile::format(states)));
    }
    ok = ok && put(CollectionStore::RankingFileName,
                   cp932Bytes(rankingfile::formatLine(table.at(2).title) + rankingfile::formatLine(table.at(1).title)));
    ok = ok && put(table.at(1).title + CollectionStore::MemoSuffix,
                   cp932Bytes(memofile::format(QStringLiteral("初めのメモ"))));
    if (!ok)
        return QStringLiteral("the first files could not be written");
    m_clock = QDateTime(QDate(2024, 5, 6), QTime(9, 0));
    m_program = std::make_unique<SimProgram>(m_data, &m_clock);
    m_files = readDisk();
    return {};
}

SimModel::Files SimModel::readDisk() const
{
    Files files;
    const QDir dir(m_data);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(dir.filePath(name));
        files.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return files;
}

QString SimModel::step(const Op& op)
{
    m_clock = m_clock.addSecs(61);
    QString failure;
    switch (op.kind) {
    case Kind::Show:
        m_program->showTitle(op.a);
        break;
    case Kind::NewDay:
        m_clock = m_clock.addDays(1);
        break;
    case Kind::Undo:
    case Kind::Redo:
        failure = undoStep(op.kind == Kind::Undo, op);
        break;
    case Kind::Restore:
        failure = restoreStep(op);
        break;
    default:
        failure = op.kind >= Kind::OutsideVolume ? outside(op) : changeStep(op);
        break;
    }
    // TANAMIRU_SIM_TRACE=1 shows, after each step, the ranking on disk and in memory and the titles in memory.
    static const bool trace = qEnvironmentVariableIntValue("TANAMIRU_SIM_TRACE") != 0;
    if (trace) {
        const Files disk = readDisk();
        const AppState& state = m_program->state();
        const QString ranking = disk.contains(CollectionStore::RankingFileName)
                                    ? rankingfile::parse(disk.value(CollectionStore::RankingFileName)).join(u',')
                                    : QStringLiteral("(none)");
        std::fprintf(stderr, "%s | ranking %s | favourites %s | titles %s\n", qPrintable(describe(op)),
                     qPrintable(ranking), qPrintable(state.favourites.join(u',')),
                     qPrintable(titlesOf(state.titles).join(u',')));
    }
    if (!failure.isEmpty())
        return failure;
    const Files disk = readDisk();
    if (disk != m_files)
        return fail("model", QStringLiteral("files differ from the model: ") + changedNames(m_files, disk).join(u' '));
    return checkMemory();
}

QString SimModel::checkMemory()
{
    if (m_program->state().titles.records() == tableOf(m_files).records()) {
        m_collectionOutside = false;
        return {};
    }
    if (m_collectionOutside)
        return {};
    return fail("memory", QStringLiteral("the title table in memory is not what the collection file holds"));
}

SimModel::Start SimModel::arm(const Op& op)
{
    const QUndoStack& stack = m_program->state().history.stack();
    Start start{m_files, m_program->state().titles, stack.count(), stack.index()};
    m_program->setFault({SimFault::Kind(op.fault), op.nth});
    return start;
}

QString SimModel::settle(const Start& start, const SimProgram::Told& told, const QString& what, Files* after)
{
    const int failedWrites = m_program->failedWrites();
    m_program->setFault({});
    *after = readDisk();
    noteGenerations(start.before, start.titles);
    if (failedWrites > 0 && !told.told)
        return fail("silent failure", QStringLiteral("a write of %1 failed and the user was not told").arg(what));
    return {};
}

QString SimModel::crashedAt(const Start& start, const Op& op)
{
    noteGenerations(start.before, start.titles);
    return crashed(start.before, op, nullptr);
}

void SimModel::noteGenerations(const Files& before, const TitleTable& titles)
{
    for (const Generation& generation : m_program->state().backups.list())
        if (!m_generations.contains(generation.folderName))
            m_generations.insert(generation.folderName, owned(before, titlesOf(titles)));
}

} // namespace simulation
