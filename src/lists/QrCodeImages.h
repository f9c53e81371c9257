#pragma once

#include <QByteArray>
#include <QFutureWatcher>
#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

// The pictures of a list's QR codes (qrlist::encode of each code's text). All are made on worker threads from
// the moment of construction, in the codes' order; one asked for before its turn is made at once on the calling
// thread, so that the code shown never waits behind the others. The workers see only the codes' bytes and give
// back QImage. Destruction drops the codes not yet started and waits for the few under way.
class QrCodeImages final : public QObject {
    Q_OBJECT
public:
    explicit QrCodeImages(const QList<QStringList>& codes, QObject* parent = nullptr);
    ~QrCodeImages() override;

    int count() const { return int(m_texts.size()); }
    // The picture of code index; null when it cannot be made.
    QImage image(int index);
    bool allMade() const { return m_made == count(); }
    // Blocks until every code is made (for the benchmark and printing).
    void waitForAll();

signals:
    // Code index is made; each is reported once, whichever thread made it.
    void imageMade(int index);

private:
    void keep(int index, const QImage& image);

    QList<QByteArray> m_texts;
    QList<QImage> m_images;
    QList<bool> m_done;
    int m_made = 0;
    QThreadPool m_pool;
    QFutureWatcher<QImage> m_watcher;
};
