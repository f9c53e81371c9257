#include "history/BackupManifest.h"

#include <QCryptographicHash>
#include <QtConcurrent/QtConcurrentMap>

#include <charconv>

#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

namespace manifest {

namespace {

const QByteArray Magic = "タナミルＰｒｏ バックアップ 2";
const QByteArray EarlierMagic = "タナミルＰｒｏ バックアップ 1\n";
const QByteArray EndLine = "終わり\n";
const QString TimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
constexpr int HeaderLines = 7;

void appendNumber(QByteArray& text, qint64 number)
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    text.append(digits, end - digits);
}

// Reads lines one by one from the start of a byte array.
class Lines final {
public:
    explicit Lines(const QByteArray& bytes) : m_text(bytes) {}
    std::optional<QByteArrayView> next()
    {
        const qsizetype end = m_text.indexOf('\n', m_at);
        if (end < 0)
            return std::nullopt;
        const QByteArrayView line = m_text.sliced(m_at, end - m_at);
        m_at = end + 1;
        return line;
    }
    QByteArrayView rest() const { return m_text.sliced(m_at); }

private:
    QByteArrayView m_text;
    qsizetype m_at = 0;
};

std::optional<QString> value(QByteArrayView line, const char* key)
{
    const QByteArray prefix = QByteArray(key) + '\t';
    if (!line.startsWith(prefix))
        return std::nullopt;
    return QString::fromUtf8(line.sliced(prefix.size()));
}

std::optional<qint64> number(const std::optional<QString>& text)
{
    bool ok = false;
    const qint64 n = text ? text->toLongLong(&ok) : -1;
    if (!ok || n < 0)
        return std::nullopt;
    return n;
}

// The header and the pack lines; nullopt when a line is missing or wrong.
std::optional<Manifest> readHead(Lines& lines)
{
    std::optional<QByteArrayView> read[HeaderLines];
    for (auto& line : read)
        line = lines.next();
    if (!read[HeaderLines - 1] || *read[0] != Magic)
        return std::nullopt;
    const auto sequence = number(value(*read[1], "番号"));
    const auto taken = value(*read[2], "日時");
    const auto reason = value(*read[3], "理由");
    const auto titles = number(value(*read[4], "題名数"));
    const auto packs = number(value(*read[5], "束数"));
    const auto files = number(value(*read[6], "ファイル数"));
    if (!sequence || !taken || !reason || !titles || !packs || !files || *titles > INT_MAX || *files > INT_MAX)
        return std::nullopt;
    Manifest m;
    m.sequence = *sequence;
    m.taken = QDateTime::fromString(*taken, TimeFormat);
    m.reason = *reason;
    m.titleCount = int(*titles);
    m.fileCount = int(*files);
    if (!m.taken.isValid())
        return std::nullopt;
    for (qint64 i = 0; i < *packs; ++i) {
        const std::optional<QByteArrayView> pack = lines.next();
        if (!pack || pack->isEmpty() || pack->contains('\t') || pack->contains('/'))
            return std::nullopt;
        m.packs.append(QString::fromUtf8(*pack));
    }
    return m;
}

// The entries of whole lines ("hash TAB size TAB pack TAB offset TAB name"), or nullopt when a line is out of
// form or names a pack the list does not have.
std::optional<QList<Entry>> parseEntries(QByteArrayView text, qsizetype packs)
{
    QList<Entry> entries;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype end = text.indexOf('\n', at);
        const QByteArrayView line = text.sliced(at, end - at);
        at = end + 1;
        // The name is the rest of the line and may hold anything but a line break.
        qsizetype field = 0;
        QByteArrayView fields[4];
        for (auto& f : fields) {
            const qsizetype tab = line.indexOf('\t', field);
            if (tab < 0)
                return std::nullopt;
            f = line.sliced(field, tab - field);
            field = tab + 1;
        }
        Entry entry;
        bool sizeOk = false;
        bool packOk = false;
        bool offsetOk = false;
        entry.hash = fields[0].toByteArray();
        entry.size = fields[1].toLongLong(&sizeOk);
        entry.pack = fields[2].toInt(&packOk);
        entry.offset = fields[3].toLongLong(&offsetOk);
        entry.name = QString::fromUtf8(line.sliced(field));
        if (entry.hash.size() != 64 || !sizeOk || !packOk || !offsetOk || entry.size < 0 || entry.offset < 0 ||
            entry.pack < 0 || entry.pack >= packs || entry.name.isEmpty())
            return std::nullopt;
        entries.append(std::move(entry));
    }
    return entries;
}

} // namespace

QByteArray hashOf(QByteArrayView bytes)
{
    // libcrypto uses the processor's SHA instructions where it has them, about ten times faster on a cover
    // picture than QCryptographicHash's portable code; the digest is the same either way. Its plain SHA-256
    // functions (deprecated in favour of EVP in OpenSSL 3, still provided) keep no state of their own, per thread
    // or per process: nothing is left for the library to clean up after the worker threads that hash.
    SHA256_CTX context;
    unsigned char digest[SHA256_DIGEST_LENGTH];
    if (SHA256_Init(&context) == 1 && SHA256_Update(&context, bytes.data(), size_t(bytes.size())) == 1 &&
        SHA256_Final(digest, &context) == 1)
        return QByteArray(reinterpret_cast<const char*>(digest), SHA256_DIGEST_LENGTH).toHex();
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QByteArray format(const Manifest& manifest)
{
    QByteArray text = Magic + '\n';
    text += "番号\t" + QByteArray::number(manifest.sequence) + '\n';
    text += "日時\t" + manifest.taken.toString(TimeFormat).toUtf8() + '\n';
    text += "理由\t" + manifest.reason.toUtf8() + '\n';
    text += "題名数\t" + QByteArray::number(manifest.titleCount) + '\n';
    text += "束数\t" + QByteArray::number(manifest.packs.size()) + '\n';
    text += "ファイル数\t" + QByteArray::number(manifest.files.size()) + '\n';
    for (const QString& pack : manifest.packs)
        text += pack.toUtf8() + '\n';
    // The entries' lines are made a run at a time on every core: a list holds tens of thousands of them.
    constexpr qsizetype Run = 2048;
    QList<qsizetype> runs;
    for (qsizetype from = 0; from < manifest.files.size(); from += Run)
        runs.append(from);
    const QList<QByteArray> lines = QtConcurrent::blockingMapped<QList<QByteArray>>(runs, [&](qsizetype from) {
        QByteArray run;
        run.reserve(Run * 120);
        const qsizetype to = std::min(from + Run, manifest.files.size());
        for (qsizetype i = from; i < to; ++i) {
            const Entry& entry = manifest.files[i];
            run += entry.hash;
            for (const qint64 number : {entry.size, qint64(entry.pack), entry.offset}) {
                run += '\t';
                appendNumber(run, number);
            }
            run += '\t';
            run += entry.name.toUtf8();
            run += '\n';
        }
        return run;
    });
    qsizetype size = text.size() + EndLine.size();
    for (const QByteArray& run : lines)
        size += run.size();
    text.reserve(size);
    for (const QByteArray& run : lines)
        text += run;
    text += EndLine;
    return text;
}

std::optional<Manifest> parseHeader(const QByteArray& head)
{
    Lines lines(head);
    return readHead(lines);
}

bool isEarlierForm(const QByteArray& head)
{
    return head.startsWith(EarlierMagic);
}

std::optional<Manifest> parse(const QByteArray& bytes)
{
    if (!bytes.endsWith(EndLine))
        return std::nullopt;
    Lines lines(bytes);
    std::optional<Manifest> m = readHead(lines);
    if (!m)
        return std::nullopt;
    // The entries' lines lie between the header and the end line, one line each. A list holds tens of thousands
    // of them, so they are read in runs on every core; the count the header gives is checked against the lines
    // found, never trusted to size anything beforehand.
    const QByteArrayView rest = lines.rest();
    if (rest.size() < EndLine.size())
        return std::nullopt;
    const QByteArrayView body = rest.first(rest.size() - EndLine.size());
    if (!body.isEmpty() && !body.endsWith('\n'))
        return std::nullopt;
    constexpr qsizetype RunBytes = 256 * 1024;
    QList<QByteArrayView> runs;
    for (qsizetype from = 0; from < body.size();) {
        qsizetype to = std::min(from + RunBytes, body.size());
        to = body.indexOf('\n', to - 1) + 1; // the run ends after a whole line
        runs.append(body.sliced(from, to - from));
        from = to;
    }
    const qsizetype packs = m->packs.size();
    QList<std::optional<QList<Entry>>> read = QtConcurrent::blockingMapped<QList<std::optional<QList<Entry>>>>(
        runs, [packs](QByteArrayView run) { return parseEntries(run, packs); });
    qsizetype count = 0;
    for (const std::optional<QList<Entry>>& entries : read) {
        if (!entries)
            return std::nullopt;
        count += entries->size();
    }
    if (count != m->fileCount)
        return std::nullopt;
    m->files.reserve(count);
    for (std::optional<QList<Entry>>& entries : read)
        m->files.append(std::move(*entries));
    return m;
}

} // namespace manifest
