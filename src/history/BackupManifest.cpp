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

std::optional<Manifest> parse(const QByteArray& bytes)
{
    if (!bytes.endsWith("終わり\n"))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.split('\n');
    std::optional<Manifest> m = readHeader(lines);
    // Header, one line per file, the end line and the empty piece after its line break.
    if (!m || lines.size() != HeaderLines + m->fileCount + 2)
        return std::nullopt;
    m->files.reserve(m->fileCount);
    for (int i = HeaderLines; i < HeaderLines + m->fileCount; ++i) {
        const QByteArray& line = lines[i];
        const qsizetype tab = line.indexOf('\t');
        bool ok = false;
        const qint64 size = tab > 0 ? line.left(tab).toLongLong(&ok) : -1;
        const QString name = QString::fromUtf8(line.mid(tab + 1));
        if (!ok || size < 0 || name.isEmpty())
            return std::nullopt;
        m->files.append({name, size});
    }
    return m;
}

} // namespace manifest
