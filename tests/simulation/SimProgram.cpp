#include "simulation/SimProgram.h"

#include "gallery/CoverImport.h"
#include "history/OrderChange.h"
#include "history/RankingSave.h"
#include "history/RecordChanges.h"
#include "history/TitleChanges.h"
#include "maintenance/SpreadsheetImport.h"
#include "maintenance/SpreadsheetImportStep.h"
#include "store/RecordOrder.h"
#include "ui/logic/MainPageLogic.h"
#include "ui/logic/QuickVolumes.h"
#include "ui/logic/Safeguards.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>

class SimProgram::Writer final : public FileWriter {
public:
    QString writeAtomically(const QString& path, const QByteArray& data) override
    {
        ++count;
        if (fault.kind == SimFault::FullDisk || (fault.kind == SimFault::FailNth && count == fault.nth)) {
            ++failed;
            return QStringLiteral("ディスクがいっぱいです");
        }
        if (fault.kind == SimFault::CrashNth && count == fault.nth) {
            // A killed save leaves at most its staging file, cut short.
            QFile staging(QFileInfo(path).absolutePath() + u'/' + AtomicFileWriter::StagingPrefix +
                          QStringLiteral("sim"));
            if (staging.open(QIODevice::WriteOnly))
                staging.write(data.left(data.size() / 2));
            throw SimCrash{};
        }
        const QString error = m_real.writeAtomically(path, data);
        if (error.isEmpty())
            written.append({QFileInfo(path).fileName(), data});
        return error;
    }
    SimFault fault;
    int count = 0;
    int failed = 0;
    QList<std::pair<QString, QByteArray>> written;

private:
    AtomicFileWriter m_real;
};

// Restores replace files through these operations; a crash point may fall on any of them.
class SimProgram::Files final : public BackupFiles {
public:
    QString writeNew(const QString& path, const QByteArray& data) override
    {
        crashPoint();
        return BackupFiles::writeNew(path, data);
    }
    QString rename(const QString& from, const QString& to) override
    {
        crashPoint();
        return BackupFiles::rename(from, to);
    }
    // One file at a time, so that a crash point may fall between two of them.
    QStringList writeEach(const QList<FileWriter::FileData>& files) override
    {
        QStringList reasons;
        for (const FileWriter::FileData& file : files) {
            crashPoint();
            reasons << BackupFiles::writeEach({file}).value(0);
        }
        return reasons;
    }
    QString remove(const QString& path) override
    {
        crashPoint();
        return BackupFiles::remove(path);
    }
    SimFault fault;
    int count = 0;

private:
    void crashPoint()
    {
        if (fault.kind == SimFault::CrashNth && ++count == fault.nth)
            throw SimCrash{};
    }
};

namespace {

const QStringList Ratings = {QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("△"), QStringLiteral("未")};

TitleRecord newRecord(const QString& title, int volumes)
{
    return {title,
            qint16(std::clamp(volumes, 1, 50)),
            0,
            QStringLiteral("作者"),
            QStringLiteral("月刊誌"),
            QStringLiteral("○"),
            QStringLiteral("2020/01/02"),
            QStringLiteral("2021/03/04")};
}

// A change that did not go ahead because its backup could not be taken.
SimProgram::Told refused(SimProgram::Told told)
{
    told.failed = true;
    return told;
}

} // namespace

SimProgram::SimProgram(const QString& folder, QDateTime* clock) : m_state(std::make_unique<AppState>(folder))
{
    AppState& s = *m_state;
    auto writer = std::make_unique<Writer>();
    m_writer = writer.get();
    s.store.folder().setWriter(std::move(writer));
    auto files = std::make_unique<Files>();
    m_files = files.get();
    s.backups.setFiles(std::move(files));
    s.backups.setClock([clock] { return *clock; });
    // As the window starts: a restore cut off by a crash is finished or rolled back before anything is read.
    startNote = s.backups.finishInterruptedRestore();
    s.titles = s.store.loadCollection().table;
    s.favourites = s.store.readRanking();
    s.store.folder().setBeforeChange([this] { safeguards::beforeChange(*m_state, m_dialogs); });
    s.store.setOutsideChangeHandler([this](const QString&) { m_reloadAsked = true; });
    showTitle(1);
}

SimProgram::~SimProgram() = default;

void SimProgram::setFault(const SimFault& fault)
{
    m_writer->fault = fault;
    m_writer->count = 0;
    m_writer->failed = 0;
    m_writer->written.clear();
    m_files->fault = fault;
    m_files->count = 0;
}

const QList<std::pair<QString, QByteArray>>& SimProgram::written() const
{
    return m_writer->written;
}

int SimProgram::failedWrites() const
{
    return m_writer->failed;
}

void SimProgram::showTitle(int index)
{
    const TitleTable& titles = m_state->titles;
    if (titles.isEmpty()) {
        m_pageTitle.clear();
        return;
    }
    const int shown = 1 + (index - 1 + titles.count()) % titles.count();
    m_pageTitle = titles.at(shown).title;
    m_state->VolumeFilePath = mainpage::volumeFileName(m_pageTitle);
    m_page = m_state->store.readVolumeFile(m_state->VolumeFilePath);
}

SimProgram::Told SimProgram::told(const QString& error, const QString& notice, int boxesBefore)
{
    reloadIfAsked();
    Told t;
    t.told = !error.isEmpty() || !notice.isEmpty() || m_dialogs.shown.size() > boxesBefore;
    t.failed = !error.isEmpty();
    t.text = !error.isEmpty() ? error : !notice.isEmpty() ? notice : t.told ? m_dialogs.shown.last() : QString();
    return t;
}

SimProgram::Told SimProgram::afterStep(const ChangeHistory::Result& result, int boxesBefore)
{
    return told(result.error, result.notice, boxesBefore);
}

// The window reads the files again once the operation that noticed an outside change has ended.
void SimProgram::reloadIfAsked()
{
    if (!m_reloadAsked)
        return;
    m_reloadAsked = false;
    AppState& s = *m_state;
    s.titles = s.store.loadCollection().table;
    s.favourites = s.store.readRanking();
    const int index = std::max(1, s.titles.indexOfTitle(m_pageTitle));
    showTitle(index);
}

SimProgram::Told SimProgram::clickVolume(int entry)
{
    const int boxes = m_dialogs.shown.size();
    const int index = m_state->titles.indexOfTitle(m_pageTitle);
    if (index == 0)
        return {};
    entry = 1 + entry % m_state->titles.at(index).volumeCount;
    // The click asks for the other state of the one the page shows, applied to the file as it is now.
    const qint16 wanted = mainpage::toggledState(m_page[entry]);
    const auto result =
        m_state->history.perform(std::make_unique<VolumeToggle>(m_state->changes, m_pageTitle, entry, wanted));
    m_page = m_state->store.readVolumeFile(m_state->VolumeFilePath);
    Told t = afterStep(result, boxes);
    t.file = mainpage::volumeFileName(m_pageTitle);
    t.entries = {entry};
    t.wanted = wanted;
    return t;
}

SimProgram::Told SimProgram::typeVolumes(int from, int to, bool missing)
{
    const int boxes = m_dialogs.shown.size();
    const int index = m_state->titles.indexOfTitle(m_pageTitle);
    if (index == 0)
        return {};
    const TitleRecord& record = m_state->titles.at(index);
    std::array<int, 51> shown{};
    for (int k = 1; k <= record.volumeCount; ++k)
        shown[k] = record.startVolume + k;
    from = 1 + from % record.volumeCount;
    to = from + to % 4;
    // The states as the file holds them now, so that the plan changes only volumes not already as asked.
    m_page = m_state->store.readVolumeFile(m_state->VolumeFilePath);
    const quickvolumes::Plan plan = quickvolumes::plan(
        QStringLiteral("%1-%2").arg(from + record.startVolume).arg(to + record.startVolume), shown, m_page, missing);
    if (!plan.ok() || plan.entries.isEmpty())
        return refused({true, false, plan.problem, {}, {}, {}, {}});
    const qint16 wanted = missing ? qint16(1) : qint16(0);
    const auto result =
        m_state->history.perform(std::make_unique<VolumeToggle>(m_state->changes, m_pageTitle, plan.entries, wanted));
    m_page = m_state->store.readVolumeFile(m_state->VolumeFilePath);
    Told t = afterStep(result, boxes);
    t.file = mainpage::volumeFileName(m_pageTitle);
    t.entries = plan.entries;
    t.wanted = wanted;
    return t;
}

SimProgram::Told SimProgram::clickStatusList(int index, int entry)
{
    const int boxes = m_dialogs.shown.size();
    const TitleTable& titles = m_state->titles;
    if (titles.isEmpty())
        return {};
    const TitleRecord& record = titles.at(1 + index % titles.count());
    entry = 1 + entry % record.volumeCount;
    // The list is filled afresh when it is shown, so its cell shows the file's state as it is now.
    const QString title = record.title;
    const QString fileName = mainpage::volumeFileName(title);
    const qint16 wanted = mainpage::toggledState(m_state->store.readVolumeFile(fileName)[entry]);
    const auto result = m_state->history.perform(
        std::make_unique<VolumeToggle>(m_state->changes, title, entry, wanted, ChangeOutcome::Screen::StatusList));
    if (fileName.toCaseFolded() == m_state->VolumeFilePath.toCaseFolded())
        m_page = m_state->store.readVolumeFile(fileName);
    Told t = afterStep(result, boxes);
    t.file = fileName;
    t.entries = {entry};
    t.wanted = wanted;
    return t;
}

SimProgram::Told SimProgram::editField(int index, int field, int value)
{
    const int boxes = m_dialogs.shown.size();
    TitleTable& titles = m_state->titles;
    if (titles.isEmpty())
        return {};
    index = 1 + index % titles.count();
    TitleRecord after = titles.at(index);
    QString what;
    switch (field % 4) {
    case 0:
        after.author = QStringLiteral("著者%1").arg(value % 7);
        what = QStringLiteral("著者");
        break;
    case 1:
        after.magazine = QStringLiteral("雑誌%1").arg(value % 5);
        what = QStringLiteral("掲載誌");
        break;
    case 2:
        after.rating = Ratings.at(value % Ratings.size());
        what = QStringLiteral("評価");
        break;
    default:
        after.volumeCount = qint16(1 + value % 50);
        what = QStringLiteral("巻数");
        break;
    }
    const auto result = m_state->history.perform(std::make_unique<RecordEdit>(m_state->changes, index, after, what, 0));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::addTitle(int number, int volumes)
{
    const int boxes = m_dialogs.shown.size();
    const QString title = QStringLiteral("新刊%1").arg(number % 40);
    if (m_state->titles.indexOfTitle(title))
        return {};
    const auto result = m_state->history.perform(
        std::make_unique<TitleAdd>(m_state->changes, title, QList<TitleRecord>{newRecord(title, 1 + volumes % 12)}));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::deleteTitle(int index)
{
    const int boxes = m_dialogs.shown.size();
    if (m_state->titles.isEmpty())
        return {};
    index = 1 + index % m_state->titles.count();
    const auto result = m_state->history.perform(std::make_unique<TitleDelete>(m_state->changes, index));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::saveMemo(int index, int text)
{
    const int boxes = m_dialogs.shown.size();
    if (m_state->titles.isEmpty())
        return {};
    const QString title = m_state->titles.at(1 + index % m_state->titles.count()).title;
    const QString memo = text % 5 == 0 ? QString() : QStringLiteral("メモ%1\r\n二行目").arg(text % 9);
    const auto result = m_state->history.perform(std::make_unique<MemoSave>(m_state->changes, title, memo));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::importCover(int index, int picture, const QString& scratch)
{
    const int boxes = m_dialogs.shown.size();
    if (m_state->titles.isEmpty())
        return {};
    const QString title = m_state->titles.at(1 + index % m_state->titles.count()).title;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(picture % 360, 200, 200));
    const QString source = scratch + (picture % 2 ? QStringLiteral("/picture.jpg") : QStringLiteral("/picture.bmp"));
    image.save(source);
    ChangeHistory::Result result;
    const coverimport::Outcome outcome = coverimport::importFile(
        m_state->store, title, source, [](const QString&) { return true; },
        [&](const std::function<coverimport::Outcome()>& write) {
            coverimport::Outcome made;
            result = m_state->history.perform(std::make_unique<CoverImport>(m_state->changes, title, [&] {
                made = write();
                return made.kind == coverimport::Outcome::Imported ? QString() : made.message;
            }));
            return made;
        });
    return told(result.error, outcome.message, boxes);
}

SimProgram::Told SimProgram::saveFavourites(int seed)
{
    const int boxes = m_dialogs.shown.size();
    QStringList order = m_state->favourites;
    if (order.size() < 2)
        return {};
    order.swapItemsAt(seed % order.size(), (seed / 7) % order.size());
    const auto result = m_state->history.perform(std::make_unique<RankingSave>(m_state->changes, order));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::reorder(int seed, bool sortToMain)
{
    const int boxes = m_dialogs.shown.size();
    AppState& s = *m_state;
    if (s.titles.count() < 2)
        return {};
    if (!safeguards::backupBefore(s, m_dialogs,
                                  sortToMain ? backup::Reason::BeforeSortOrder : backup::Reason::BeforeDisplayOrder))
        return refused(told({}, {}, boxes));
    // The rows of a list in its new order, mapped back to records the way the sort and display-order screens do.
    QList<recordorder::Row> rows;
    for (int i = 1; i <= s.titles.count(); ++i)
        rows.append({s.titles.at(i).title, i});
    if (sortToMain)
        std::stable_sort(rows.begin(), rows.end(), [&s](const recordorder::Row& a, const recordorder::Row& b) {
            return s.titles.at(a.record).author < s.titles.at(b.record).author;
        });
    else
        rows.move(seed % rows.size(), (seed / 5) % rows.size());
    const auto result = s.history.perform(
        std::make_unique<OrderChange>(s.changes, recordorder::reorder(rows, s.titles).from,
                                      sortToMain ? QStringLiteral("メインに反映") : QStringLiteral("表示順")));
    if (result.error.isEmpty())
        s.titles = s.store.loadCollection().table;
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::importSpreadsheet(int number, int rows)
{
    const int boxes = m_dialogs.shown.size();
    AppState& s = *m_state;
    QString text = QStringLiteral("題名,巻数,著者,所持,未所持,メモ\r\n");
    for (int r = 0; r <= rows % 3; ++r)
        text += QStringLiteral("表%1,%2,表の作者,,%3,%4\r\n")
                    .arg((number + r) % 30)
                    .arg(3 + r)
                    .arg(r % 2 ? QStringLiteral("2") : QString())
                    .arg(r == 1 ? QStringLiteral("表のメモ") : QString());
    const spreadsheetimport::Plan plan = spreadsheetimport::plan(text.toUtf8(), s.titles, QDate(2024, 5, 6));
    if (!plan.ok() || plan.records.isEmpty())
        return {};
    if (!safeguards::backupBefore(s, m_dialogs, backup::Reason::BeforeSpreadsheet))
        return refused(told({}, {}, boxes));
    const auto result = s.history.perform(std::make_unique<SpreadsheetImportStep>(s.changes, plan));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::undo()
{
    const int boxes = m_dialogs.shown.size();
    // As the window does: the table in memory is the step's; the collection file is not read again.
    const auto result = m_state->history.undo();
    showTitle(std::max(1, m_state->titles.indexOfTitle(m_pageTitle)));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::redo()
{
    const int boxes = m_dialogs.shown.size();
    const auto result = m_state->history.redo();
    showTitle(std::max(1, m_state->titles.indexOfTitle(m_pageTitle)));
    return afterStep(result, boxes);
}

SimProgram::Told SimProgram::restore(int pick)
{
    const int boxes = m_dialogs.shown.size();
    AppState& s = *m_state;
    const QList<Generation> generations = s.backups.list();
    if (generations.isEmpty())
        return {};
    const Generation& generation = generations.at(pick % generations.size());
    QString damage = generation.damage;
    if (damage.isEmpty())
        damage = s.backups.check(generation.folderName);
    if (!damage.isEmpty())
        return refused({true, false, damage, {}, {}, {}, {}});
    const Backups::Restore result = s.backups.restore(generation.folderName, s.titles);
    if (!result.taken.isEmpty()) {
        s.history.clear();
        s.titles = s.store.loadCollection().table;
        s.favourites = s.store.readRanking();
        showTitle(1);
    }
    Told t = told(result.error, result.notDeleted.join(u'\n'), boxes);
    t.generation = generation.folderName;
    return t;
}
