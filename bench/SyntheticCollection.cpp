#include "SyntheticCollection.h"

#include "SyntheticRecords.h"
#include "store/CollectionStore.h"
#include "store/Cp932.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

constexpr QSize CoverSize(240, 340);

QByteArray coverJpeg(int index)
{
    QImage image(CoverSize, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, CoverSize.width(), CoverSize.height());
    gradient.setColorAt(0, QColor::fromHsv((index * 37) % 360, 180, 230));
    gradient.setColorAt(1, QColor::fromHsv((index * 37 + 120) % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::NoPen);
    for (int k = 0; k < 6; ++k) {
        painter.setBrush(QColor::fromHsv((index * 53 + k * 60) % 360, 150, 250, 160));
        painter.drawEllipse(QPoint(30 + (index * 17 + k * 41) % 180, 40 + (index * 29 + k * 53) % 260), 28, 28);
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 85))
        bytes.clear();
    return bytes;
}

} // namespace

SyntheticCollection::SyntheticCollection(int titleCount, const QString& base)
    : m_base(base), m_dir(scratchTemplateIn(base)), m_titleCount(titleCount)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("cannot create a temporary folder: ") + m_dir.errorString();
        return;
    }
    writeCollection();
    writeTitleFiles();
    writePictures();
    writeText(CollectionStore::SettingsFileName, QStringLiteral("\"ヘルプツアー\",0\r\n"));
}

QString SyntheticCollection::title(int index) const
{
    return synthetic::record(index).title;
}

QStringList SyntheticCollection::startupFiles() const
{
    QStringList files = {CollectionStore::CollectionFileName, CollectionStore::RankingFileName,
                         CollectionStore::SettingsFileName};
    if (m_titleCount > 0)
        files += pageFiles(1);
    return files;
}

QStringList SyntheticCollection::pageFiles(int index) const
{
    const QString name = title(index);
    QStringList files = {name + CollectionStore::VolumeSuffix, coverFileName(index)};
    if (hasMemo(index))
        files << name + CollectionStore::MemoSuffix;
    return files;
}

QString SyntheticCollection::coverFileName(int index) const
{
    return hasCover(index) ? title(index) + QStringLiteral(".jpg") : CollectionStore::NoPictureFileName;
}

void SyntheticCollection::writeFile(const QString& name, const QByteArray& bytes)
{
    if (!m_error.isEmpty())
        return;
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        m_error = QStringLiteral("cannot write %1: %2").arg(name, file.errorString());
}

void SyntheticCollection::writeText(const QString& name, const QString& text)
{
    const cp932::Encoded encoded = cp932::encode(text);
    if (!encoded.ok()) {
        m_error = QStringLiteral("%1 holds characters code page 932 cannot: %2").arg(name, encoded.unencodable);
        return;
    }
    writeFile(name, encoded.bytes);
}

void SyntheticCollection::writeCollection()
{
    QString collection;
    for (int i = 1; i <= m_titleCount; ++i)
        collection += synthetic::collectionLine(synthetic::record(i));
    writeText(CollectionStore::CollectionFileName, collection);

    QString ranking;
    for (int k = 0; k < RankedTitles && m_titleCount > 0; ++k)
        ranking += QStringLiteral("\"%1\"\r\n").arg(title(1 + (k * 109) % m_titleCount));
    writeText(CollectionStore::RankingFileName, ranking);
}

void SyntheticCollection::writeTitleFiles()
{
    for (int i = 1; i <= m_titleCount; ++i) {
        const QString name = title(i);
        writeText(name + CollectionStore::VolumeSuffix, synthetic::volumeFileText(i));
        if (hasMemo(i))
            writeText(name + CollectionStore::MemoSuffix, synthetic::memoText(i));
    }
}

void SyntheticCollection::writePictures()
{
    for (int i = 0; i <= std::min(m_titleCount, CoveredTitles); ++i) {
        const QByteArray jpeg = coverJpeg(i);
        if (jpeg.isEmpty()) {
            m_error = QStringLiteral("cannot make a JPEG picture (is the jpeg image plugin installed?)");
            return;
        }
        // Picture 0 is the stand-in shown for every title without a cover.
        writeFile(i == 0 ? CollectionStore::NoPictureFileName : coverFileName(i), jpeg);
    }
}
