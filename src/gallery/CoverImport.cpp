#include "gallery/CoverImport.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <optional>

namespace coverimport {

namespace {

const QString JpegSuffix = QStringLiteral(".jpg");

bool webpReadable()
{
    static const bool readable = QImageReader::supportedImageFormats().contains("webp");
    return readable;
}

bool endsWithFolded(const QString& name, const QString& suffix)
{
    return name.size() > suffix.size() && name.right(suffix.size()).toCaseFolded() == suffix;
}

// Refuses a destination that cannot be a file of the data folder, or that would be one of the program's own
// files; a plan with the destination otherwise.
Plan checked(const QString& title, const QString& destination, bool convert)
{
    Plan result;
    if (title.isEmpty()) {
        result.problem = QStringLiteral("画像を付けるコミックが表示されていません。");
        return result;
    }
    if (const QString reason = DataFolder::checkFileName(destination); !reason.isEmpty()) {
        result.problem = QStringLiteral("この題名は画像のファイル名に使えません。\n%1").arg(reason);
        return result;
    }
    if (const QString programFile = CollectionStore::programFileFor(destination); !programFile.isEmpty()) {
        result.problem = QStringLiteral("「%1」は、このプログラム自身のファイル「%2」と同じ名前です。\n"
                                        "このプログラムのファイルを守るため、この題名の画像は取り込みません。")
                             .arg(destination, programFile);
        return result;
    }
    result.destination = destination;
    result.convert = convert;
    return result;
}

std::optional<QByteArray> readWhole(const QString& path, QString* reason)
{
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        *reason = QStringLiteral("ファイルが見つかりません");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return data;
}

// The JPEG bytes of image (quality 90), or an empty array when it cannot be encoded.
QByteArray encodeJpeg(const QImage& image)
{
    if (image.isNull())
        return {};
    // JPEG holds no transparency: transparent parts become white, as on a printed cover.
    QImage opaque = image;
    if (image.hasAlphaChannel()) {
        opaque = QImage(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(QRect(QPoint(0, 0), image.size()), image);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    if (!writer.write(opaque))
        return {};
    return bytes;
}

QString notImported(const QString& text)
{
    return text + QStringLiteral("\n\n画像は取り込まれていません。");
}

} // namespace

QStringList nameFilters()
{
    QStringList filters{QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.jpeg"),
                        QStringLiteral("*.png")};
    if (webpReadable())
        filters << QStringLiteral("*.webp");
    return filters;
}

Plan plan(const QString& title, const QString& sourceName)
{
    // The source's last four characters name the copy, as they always have: ".jpg" or ".BMP" as spelt.
    if (endsWithFolded(sourceName, QStringLiteral(".jpg")) || endsWithFolded(sourceName, QStringLiteral(".bmp")))
        return checked(title, title + sourceName.right(4), false);
    if (endsWithFolded(sourceName, QStringLiteral(".jpeg")))
        return checked(title, title + JpegSuffix, false);
    if (endsWithFolded(sourceName, QStringLiteral(".png")) ||
        (webpReadable() && endsWithFolded(sourceName, QStringLiteral(".webp"))))
        return checked(title, title + JpegSuffix, true);
    Plan refused;
    refused.problem = QStringLiteral("「%1」は取り込めない種類のファイルです。\n"
                                     "取り込めるのは %2 のファイルです。")
                          .arg(sourceName, nameFilters().join(QLatin1Char(' ')));
    return refused;
}

Plan planForPicture(const QString& title)
{
    return checked(title, title + JpegSuffix, true);
}

bool isSameFile(const DataFolder& folder, const QString& sourcePath, const QString& destination)
{
    const QString existing = folder.existingPath(destination);
    if (existing.isEmpty())
        return false;
    const QString source = QFileInfo(sourcePath).canonicalFilePath();
    return !source.isEmpty() && source == QFileInfo(existing).canonicalFilePath();
}

Prepared prepareFile(const QString& sourcePath, const Plan& plan)
{
    Prepared prepared;
    QString reason;
    std::optional<QByteArray> data = readWhole(sourcePath, &reason);
    const QString name = QFileInfo(sourcePath).fileName();
    if (!data) {
        prepared.problem = notImported(QStringLiteral("「%1」を読み込めませんでした。\n理由: %2").arg(name, reason));
        return prepared;
    }
    if (!plan.convert) {
        prepared.bytes = std::move(*data);
        return prepared;
    }
    QImage image;
    if (!image.loadFromData(*data)) {
        prepared.problem = notImported(QStringLiteral("「%1」を画像として読み込めませんでした。").arg(name));
        return prepared;
    }
    return preparePicture(image);
}

Prepared preparePicture(const QImage& image)
{
    Prepared prepared;
    prepared.bytes = encodeJpeg(image);
    if (prepared.bytes.isEmpty())
        prepared.problem = notImported(QStringLiteral("画像をJPEG形式に変換できませんでした。"));
    return prepared;
}

QString write(DataFolder& folder, const Plan& plan, const QByteArray& bytes)
{
    const QString error = folder.write(plan.destination, bytes);
    return error.isEmpty() ? QString() : notImported(error);
}

} // namespace coverimport
