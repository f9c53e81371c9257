#include "lists/QrCodeImages.h"

#include "lists/QrShoppingList.h"

#include <QtConcurrent/QtConcurrentMap>

QrCodeImages::QrCodeImages(const QList<QStringList>& codes, QObject* parent)
    : QObject(parent), m_images(codes.size()), m_done(codes.size(), false)
{
    m_texts.reserve(codes.size());
    for (const QStringList& code : codes)
        m_texts << qrlist::codeText(code).toUtf8();
    connect(&m_watcher, &QFutureWatcherBase::resultReadyAt, this,
            [this](int index) { keep(index, m_watcher.resultAt(index)); });
    m_watcher.setFuture(QtConcurrent::mapped(&m_pool, m_texts, &qrlist::encode));
}

QrCodeImages::~QrCodeImages()
{
    m_watcher.disconnect();
    m_watcher.cancel();
    m_watcher.waitForFinished();
}

QImage QrCodeImages::image(int index)
{
    if (index < 0 || index >= count())
        return {};
    if (!m_done.at(index)) {
        const QFuture<QImage> future = m_watcher.future();
        keep(index, future.isResultReadyAt(index) ? future.resultAt(index) : qrlist::encode(m_texts.at(index)));
    }
    return m_images.at(index);
}

void QrCodeImages::waitForAll()
{
    m_watcher.waitForFinished();
    const QFuture<QImage> future = m_watcher.future();
    for (int i = 0; i < count(); ++i) {
        if (!m_done.at(i))
            keep(i, future.isResultReadyAt(i) ? future.resultAt(i) : qrlist::encode(m_texts.at(i)));
    }
}

void QrCodeImages::keep(int index, const QImage& image)
{
    if (m_done.at(index))
        return;
    m_done[index] = true;
    m_images[index] = image;
    ++m_made;
    emit imageMade(index);
}
