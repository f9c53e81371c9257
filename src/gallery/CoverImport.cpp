#include "gallery/CoverImport.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"
#include "store/PictureFile.h"

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

// Larger than any place a cover is shown: a file that decodes at this size is shown everywhere.
const QSize CheckBox(320, 480);

// True when sourcePath is the file that destination names in the folder already: copying would do nothing.
bool isSameFile(const DataFolder& folder, const QString& sourcePath, const QString& destination)
{
    const QString existing = folder.existingPath(destination);
    if (existing.isEmpty())
        return false;
    const QString source = QFileInfo(sourcePath).canonicalFilePath();
    return !source.isEmpty() && source == QFileInfo(existing).canonicalFilePath();
}

// The bytes a cover will hold, or why there are none (in Japanese, naming the file).
struct Prepared {
    QByteArray bytes;
    QString problem;
};

Prepared preparePicture(const QImage& image)
{
    Prepared prepared;
    prepared.bytes = encodeJpeg(image);
    if (prepared.bytes.isEmpty())
        prepared.problem = notImported(QStringLiteral("画像をJPEG形式に変換できませんでした。"));
    return prepared;
}

// The file read whole and decoded: copied as it is when it decodes, converted when plan says so. A copy is
// checked at a small size (JPEG decodes every byte even then), a conversion decodes the whole picture, or the
// largest part of it the decode budget allows.
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
    const picturefile::Picture picture = picturefile::readData(*data, plan.convert ? QSize() : CheckBox, false);
    if (picture.status != picturefile::Picture::Decoded) {
        prepared.problem = notImported(picturefile::problem(picture, name));
        return prepared;
    }
    if (plan.convert)
        return preparePicture(picture.image);
    prepared.bytes = std::move(*data);
    return prepared;
}

// The covers of destination's title that the lookup prefers to destination, as spelt on disk.
QStringList preferredOver(const DataFolder& folder, const QString& destination)
{
    const QString title = destination.chopped(4);
    const qsizetype rank = CollectionStore::CoverSuffixes.indexOf(destination.right(4).toCaseFolded());
    QStringList names;
    for (qsizetype i = rank + 1; rank >= 0 && i < CollectionStore::CoverSuffixes.size(); ++i) {
        const QString name = folder.existingName(title + CollectionStore::CoverSuffixes.at(i));
        if (!name.isEmpty() && !CollectionStore::isProgramFile(name))
            names << name;
    }
    return names;
}

// The overwrite question, or an empty string when nothing on disk is replaced or removed.
QString question(bool replacing, const QStringList& preferred)
{
    if (preferred.isEmpty())
        return replacing ? QStringLiteral("同じ名前の画像が既に存在します。上書きしますか？") : QString();
    const QString names = QStringLiteral("「%1」").arg(preferred.join(QStringLiteral("」「")));
    QString text = replacing ? QStringLiteral("同じ名前の画像が既に存在します。\n") : QString();
    return text + QStringLiteral("このコミックには、取り込む画像より優先して表示される画像%1があります。\n"
                                 "%1を削除して、取り込む画像で上書きしますか？")
                      .arg(names);
}

Outcome install(CollectionStore& store, const Plan& plan, const Prepared& prepared, bool sameFile,
                const QStringList& preferred)
{
    if (!sameFile) {
        if (const QString error = store.writePicture(plan.destination, prepared.bytes); !error.isEmpty())
            return {Outcome::Failed, notImported(error)};
    }
    // Only now that the new cover is safely in place do the ones that would hide it go.
    QStringList kept;
    for (const QString& name : preferred)
        if (!store.putBack(name, std::nullopt).isEmpty() || store.folder().exists(name))
            kept << name;
    if (kept.isEmpty())
        return {Outcome::Imported, {}};
    const QString names = QStringLiteral("「%1」").arg(kept.join(QStringLiteral("」「")));
    return {Outcome::Imported, QStringLiteral("画像は取り込みましたが、%1を削除できませんでした。\n"
                                              "%1を削除するまで、このコミックには%1が表示されます。")
                                   .arg(names)};
}

Outcome finish(CollectionStore& store, const Plan& plan, const Prepared& prepared, bool sameFile,
               const Confirm& confirm, const Wrap& wrap)
{
    if (!prepared.problem.isEmpty())
        return {Outcome::Failed, prepared.problem};
    const DataFolder& folder = store.folder();
    const QStringList preferred = preferredOver(folder, plan.destination);
    const bool replacing = !sameFile && folder.exists(plan.destination);
    if (const QString text = question(replacing, preferred); !text.isEmpty() && !confirm(text))
        return {Outcome::Cancelled, {}};
    const auto write = [&] { return install(store, plan, prepared, sameFile, preferred); };
    return wrap ? wrap(write) : write();
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

Outcome importFile(CollectionStore& store, const QString& title, const QString& sourcePath, const Confirm& confirm,
                   const Wrap& wrap)
{
    DataFolder& folder = store.folder();
    // Files put in the folder by hand since the last look count too: no letter-case twin may be made beside one,
    // and no preferred cover may be missed.
    folder.rescan();
    const Plan planned = plan(title, QFileInfo(sourcePath).fileName());
    if (!planned.problem.isEmpty())
        return {Outcome::Refused, planned.problem};
    const bool sameFile = isSameFile(folder, sourcePath, planned.destination);
    return finish(store, planned, prepareFile(sourcePath, planned), sameFile, confirm, wrap);
}

Outcome importPicture(CollectionStore& store, const QString& title, const QImage& image, const Confirm& confirm,
                      const Wrap& wrap)
{
    store.folder().rescan();
    const Plan planned = planForPicture(title);
    if (!planned.problem.isEmpty())
        return {Outcome::Refused, planned.problem};
    return finish(store, planned, preparePicture(image), false, confirm, wrap);
}

} // namespace coverimport
