#include "history/BackupManifest.h"

#include <QStringList>

namespace manifest {

namespace {

const QByteArray Magic = "タナミルＰｒｏ バックアップ 1";
const QString TimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
constexpr int HeaderLines = 5;

// Reads the header from lines; nullopt when a line is missing or wrong.
std::optional<Manifest> readHeader(const QList<QByteArray>& lines)
{
    if (lines.size() < HeaderLines || lines[0] != Magic)
        return std::nullopt;
    const auto value = [&lines](int i, const char* key) -> std::optional<QString> {
        const QByteArray& line = lines[i];
        const QByteArray prefix = QByteArray(key) + '\t';
        if (!line.startsWith(prefix))
            return std::nullopt;
        return QString::fromUtf8(line.mid(prefix.size()));
    };
    const auto taken = value(1, "日時");
    const auto reason = value(2, "理由");
    const auto titles = value(3, "題名数");
    const auto files = value(4, "ファイル数");
    if (!taken || !reason || !titles || !files)
        return std::nullopt;
    Manifest m;
    m.taken = QDateTime::fromString(*taken, TimeFormat);
    m.reason = *reason;
    bool titlesOk = false;
    bool filesOk = false;
    m.titleCount = titles->toInt(&titlesOk);
    m.fileCount = files->toInt(&filesOk);
    if (!m.taken.isValid() || !titlesOk || !filesOk || m.titleCount < 0 || m.fileCount < 0)
        return std::nullopt;
    return m;
}

} // namespace

QByteArray format(const Manifest& manifest)
{
    QByteArray text = Magic + '\n';
    text += "日時\t" + manifest.taken.toString(TimeFormat).toUtf8() + '\n';
    text += "理由\t" + manifest.reason.toUtf8() + '\n';
    text += "題名数\t" + QByteArray::number(manifest.titleCount) + '\n';
    text += "ファイル数\t" + QByteArray::number(manifest.files.size()) + '\n';
    for (const Entry& entry : manifest.files)
        text += QByteArray::number(entry.size) + '\t' + entry.name.toUtf8() + '\n';
    text += "終わり\n";
    return text;
}

std::optional<Manifest> parseHeader(const QByteArray& head)
{
    QList<QByteArray> lines = head.split('\n');
    // The last piece may be a line cut off by the read; a whole header ends with a line break.
    lines.removeLast();
    return readHeader(lines);
}

std::optional<Manifest> visitFiles(const QByteArray& bytes, const std::function<bool(QByteArrayView, qint64)>& visit)
{
    if (!bytes.endsWith("終わり\n"))
        return std::nullopt;
    // The header apart; the file lines are read in place, since a generation may list tens of thousands.
    qsizetype at = 0;
    QList<QByteArray> header;
    for (int i = 0; i < HeaderLines; ++i) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return std::nullopt;
        header.append(bytes.mid(at, end - at));
        at = end + 1;
    }
    std::optional<Manifest> m = readHeader(header);
    if (!m)
        return std::nullopt;
    const QByteArrayView text(bytes);
    for (int i = 0; i < m->fileCount; ++i) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            return std::nullopt;
        const QByteArrayView line = text.sliced(at, end - at);
        at = end + 1;
        const qsizetype tab = line.indexOf('\t');
        bool ok = false;
        const qint64 size = tab > 0 ? line.first(tab).toLongLong(&ok) : -1;
        if (!ok || size < 0 || tab + 1 >= line.size())
            return std::nullopt;
        if (!visit(line.sliced(tab + 1), size))
            return m;
    }
    // Then the end line, and nothing after it.
    if (text.sliced(at) != QByteArrayView("終わり\n"))
        return std::nullopt;
    return m;
}

std::optional<Manifest> parse(const QByteArray& bytes)
{
    QList<Entry> files;
    bool named = true;
    std::optional<Manifest> m = visitFiles(bytes, [&](QByteArrayView name, qint64 size) {
        files.append({QString::fromUtf8(name), size});
        named = !files.constLast().name.isEmpty();
        return named;
    });
    if (!m || !named)
        return std::nullopt;
    m->files = std::move(files);
    return m;
}

} // namespace manifest
