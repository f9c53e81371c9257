#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QThreadPool>
#include <functional>
#include <optional>

namespace gallery {

// What decoding one page of the gallery takes: for each slot the files of its title's cover in the order they are
// tried (empty for an empty slot or a title without a cover) and the size the covers are fitted into. While the
// files are unchanged, equal pages decode to the same pictures.
struct PageFiles {
    int page = 0;
    QList<QStringList> slotFiles; // slot k at k - 1
    QSize box;

    bool isValid() const { return page > 0; }
    friend bool operator==(const PageFiles&, const PageFiles&) = default;
};

} // namespace gallery

// Decodes the gallery's covers on worker threads and keeps the last few pages decoded.
//
// show() makes a page the one shown. Its covers already decoded are handed over inside the call, every other one
// by coverReady() on the GUI thread as soon as it is decoded, in whatever order they finish; pageComplete() follows
// the last. Only the page shown is ever reported: a page left before it was finished stops being decoded and its
// late results are dropped. Once the page shown is complete, the pages named to be decoded ahead are decoded one
// after the other, without a word, so that turning to one of them hands over all its covers at once.
//
// The workers see only file names and a size and give back QImage; nothing they touch belongs to the GUI. The
// loader's destruction stops every decode and waits for the workers, so no decode outlives it.
class CoverLoader final : public QObject {
    Q_OBJECT
public:
    // Decodes one slot's cover; runs on a worker thread.
    using Decoder = std::function<QImage(const QStringList& files, QSize box)>;
    // The pages kept decoded, the one shown included: each holds 21 covers of at most the box's size (about
    // 1 MiB at the gallery's size on a normal screen), so the cache stays within a few MiB.
    static constexpr int KeptPages = 4;

    explicit CoverLoader(QObject* parent = nullptr);
    // With decoder in place of covers::decodeCover.
    explicit CoverLoader(Decoder decoder, QObject* parent = nullptr);
    ~CoverLoader() override;

    // Shows page and names the pages to decode ahead once it is complete, most likely first.
    void show(const gallery::PageFiles& page, const QList<gallery::PageFiles>& ahead = {});
    // Names anew the pages to decode ahead of the page shown.
    void decodeAhead(const QList<gallery::PageFiles>& ahead);
    // Stops decoding ahead and forgets every page but the one shown, which goes on being decoded.
    void stopAhead();
    // Stops every decode and forgets every page, the one shown included: the titles or their files changed.
    void forget();

    // Every cover of the page shown has been handed over.
    bool shownComplete() const;
    // A page is being decoded, shown or ahead.
    bool decoding() const { return m_job != nullptr; }

signals:
    // Slot counts from 1. A null cover: the slot has no picture to show.
    void coverReady(int page, int slot, const QImage& cover);
    void pageComplete(int page);

private:
    class Job;
    struct Decoded {
        gallery::PageFiles files;
        QList<QImage> covers;
    };

    Job* startJob(const gallery::PageFiles& files);
    void cancelJob();
    void slotDecoded(Job* job, int index, const QImage& cover);
    void complete(Job* job);
    void keep(Decoded decoded);
    // The page decoded from files, made the most recently used; none when it is not kept.
    std::optional<Decoded> cached(const gallery::PageFiles& files);
    // coverReady() for every slot done, while files stay the page shown.
    void deliver(const gallery::PageFiles& files, const QList<QImage>& covers, const QList<bool>& done);
    void startAhead();

    Decoder m_decoder;
    QThreadPool m_pool;
    gallery::PageFiles m_shown;
    QList<gallery::PageFiles> m_ahead;
    QList<Decoded> m_cache; // most recently used first
    Job* m_job = nullptr;   // the one page being decoded
};
