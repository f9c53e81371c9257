#include "ui/CoverLabel.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QShortcut>
#include <QUrl>

namespace {

QString localFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

bool carriesPicture(const QMimeData* data)
{
    return data && (!localFile(data).isEmpty() || data->hasImage());
}

} // namespace

CoverLabel::CoverLabel(QWidget* parent) : ClickableLabel(parent)
{
    setAcceptDrops(true);
    // Active while the label is visible in the active window. A text box with the focus keeps Ctrl+V for
    // itself, so pasting into the page's fields is not taken for a cover.
    auto* shortcut = new QShortcut(QKeySequence::Paste, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &CoverLabel::paste);
}

bool CoverLabel::take(const QMimeData* data)
{
    if (const QString path = localFile(data); !path.isEmpty()) {
        emit fileGiven(path);
        return true;
    }
    if (data && data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (image.isNull())
            return false;
        emit imageGiven(image);
        return true;
    }
    return false;
}

void CoverLabel::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesPicture(event->mimeData()))
        event->acceptProposedAction();
}

void CoverLabel::dragMoveEvent(QDragMoveEvent* event)
{
    if (carriesPicture(event->mimeData()))
        event->acceptProposedAction();
}

void CoverLabel::dropEvent(QDropEvent* event)
{
    if (take(event->mimeData()))
        event->acceptProposedAction();
}

void CoverLabel::paste()
{
    if (const QClipboard* clipboard = QGuiApplication::clipboard())
        take(clipboard->mimeData());
}
