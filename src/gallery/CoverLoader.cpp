#include "gallery/CoverLoader.h"

#include "gallery/CoverPictures.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <atomic>
#include <memory>

// One page being decoded: a decode per slot with a cover, each on the loader's workers.
class CoverLoader::Job final : public QObject {
public:
    Job(const gallery::PageFiles& pageFiles, QObject* parent)
        : QObject(parent), files(pageFiles), covers(pageFiles.slotFiles.size()),
          done(pageFiles.slotFiles.size(), false), remaining(int(pageFiles.slotFiles.size()))
    {
    }

    // Ends the job: its queued decodes return at once without decoding, its late results reach nobody, and it is
    // deleted once control is back in the event loop (it may be ended from inside one of its own results).
    void retire()
    {
        cancelled->store(true);
        for (QFutureWatcherBase* watcher : findChildren<QFutureWatcherBase*>())
            watcher->disconnect();
        deleteLater();
    }

    const gallery::PageFiles files;
    QList<QImage> covers;
    QList<bool> done;
    int remaining;
    const std::shared_ptr<std::atomic_bool> cancelled = std::make_shared<std::atomic_bool>(false);
};

CoverLoader::CoverLoader(QObject* parent) : CoverLoader(&covers::decodeCover, parent) {}

CoverLoader::CoverLoader(Decoder decoder, QObject* parent) : QObject(parent), m_decoder(std::move(decoder)) {}

CoverLoader::~CoverLoader()
{
    // Queued decodes return at once; the few under way finish before the workers are let go.
    if (m_job)
        m_job->cancelled->store(true);
    m_pool.waitForDone();
}

void CoverLoader::show(const gallery::PageFiles& page, const QList<gallery::PageFiles>& ahead)
{
    m_shown = page;
    m_ahead = ahead;
    if (const std::optional<Decoded> decoded = cached(page)) {
        // A decode under way goes on only while it is still wanted ahead.
        if (m_job && !m_ahead.contains(m_job->files))
            cancelJob();
        deliver(page, decoded->covers, QList<bool>(decoded->covers.size(), true));
        if (page == m_shown)
            emit pageComplete(page.page);
        startAhead();
        return;
    }
    if (m_job && m_job->files == page) {
        // Decoded ahead and not finished yet: what is done now, the rest as it comes.
        deliver(page, m_job->covers, m_job->done);
        return;
    }
    cancelJob();
    m_job = startJob(page);
    Job* job = m_job;
    deliver(page, job->covers, job->done);
    if (m_job == job && job->remaining == 0)
        complete(job);
}

void CoverLoader::decodeAhead(const QList<gallery::PageFiles>& ahead)
{
    m_ahead = ahead;
    if (m_job && m_job->files != m_shown && !m_ahead.contains(m_job->files))
        cancelJob();
    startAhead();
}

void CoverLoader::stopAhead()
{
    m_ahead.clear();
    if (m_job && m_job->files != m_shown)
        cancelJob();
    m_cache.removeIf([this](const Decoded& decoded) { return decoded.files != m_shown; });
}

void CoverLoader::forget()
{
    m_ahead.clear();
    cancelJob();
    m_cache.clear();
    m_shown = {};
}

bool CoverLoader::shownComplete() const
{
    return m_shown.isValid() &&
           std::any_of(m_cache.cbegin(), m_cache.cend(), [this](const Decoded& d) { return d.files == m_shown; });
}

CoverLoader::Job* CoverLoader::startJob(const gallery::PageFiles& files)
{
    auto* job = new Job(files, this);
    for (int i = 0; i < files.slotFiles.size(); ++i) {
        const QStringList& slotFiles = files.slotFiles.at(i);
        if (slotFiles.isEmpty()) {
            job->done[i] = true;
            --job->remaining;
            continue;
        }
        auto* watcher = new QFutureWatcher<QImage>(job);
        connect(watcher, &QFutureWatcherBase::finished, this,
                [this, job, watcher, i] { slotDecoded(job, i, watcher->result()); });
        watcher->setFuture(
            QtConcurrent::run(&m_pool, [decoder = m_decoder, cancelled = job->cancelled, slotFiles, box = files.box] {
                return cancelled->load() ? QImage() : decoder(slotFiles, box);
            }));
    }
    return job;
}

void CoverLoader::cancelJob()
{
    if (!m_job)
        return;
    m_job->retire();
    m_job = nullptr;
}

void CoverLoader::slotDecoded(Job* job, int index, const QImage& cover)
{
    job->covers[index] = cover;
    job->done[index] = true;
    --job->remaining;
    if (job->files == m_shown)
        emit coverReady(job->files.page, index + 1, cover);
    // A receiver of the cover may have turned to another page, which ended this job.
    if (job == m_job && job->remaining == 0)
        complete(job);
}

void CoverLoader::complete(Job* job)
{
    m_job = nullptr;
    keep({job->files, job->covers});
    job->retire();
    if (job->files == m_shown)
        emit pageComplete(job->files.page);
    startAhead();
}

void CoverLoader::keep(Decoded decoded)
{
    m_cache.removeIf([&decoded](const Decoded& d) { return d.files == decoded.files; });
    m_cache.prepend(std::move(decoded));
    // The least recently used go first; the page shown stays whatever its age.
    for (qsizetype i = m_cache.size() - 1; i >= 0 && m_cache.size() > KeptPages; --i)
        if (m_cache.at(i).files != m_shown)
            m_cache.removeAt(i);
}

std::optional<CoverLoader::Decoded> CoverLoader::cached(const gallery::PageFiles& files)
{
    for (qsizetype i = 0; i < m_cache.size(); ++i) {
        if (m_cache.at(i).files == files) {
            m_cache.move(i, 0);
            return m_cache.first();
        }
    }
    return std::nullopt;
}

void CoverLoader::deliver(const gallery::PageFiles& files, const QList<QImage>& covers, const QList<bool>& done)
{
    // A receiver may turn to another page in the middle; from then on these covers are no longer shown.
    for (int i = 0; i < covers.size() && files == m_shown; ++i)
        if (done.at(i))
            emit coverReady(files.page, i + 1, covers.at(i));
}

void CoverLoader::startAhead()
{
    if (m_job || !shownComplete())
        return;
    while (!m_ahead.isEmpty()) {
        const gallery::PageFiles next = m_ahead.takeFirst();
        if (!next.isValid() || cached(next))
            continue;
        m_job = startJob(next);
        if (m_job->remaining == 0)
            complete(m_job);
        return;
    }
}
