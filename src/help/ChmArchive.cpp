#include "help/ChmArchive.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cerrno>
#include <chm_lib.h>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// What the child sends, one record after another:
//   'F' u32 nameLength, name (UTF-8), u64 dataLength, data    a file
//   'D' u32 nameLength, name                                 a file that could not be unpacked
//   'S' u64 dataLength, data                                 the system record
//   'T'                                                      the file ends before its last object does
//   'X' u8 reason                                            the archive could not be read (see ChildFailure)
//   'E'                                                      the end: everything was sent
namespace {

enum ChildFailure : unsigned char { NotAnArchive = 1, TooLarge = 2 };

QString nativeName(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

// ---- The child: only the decoder, write() and _exit() run there. ----

struct ChildContext {
    int fd;
    qint64 budget;
};

void writeAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ::_exit(3); // the parent has gone or given up
        p += n;
        size -= static_cast<size_t>(n);
    }
}

void writeTag(int fd, char tag)
{
    writeAll(fd, &tag, 1);
}

void writeName(int fd, const char* name)
{
    const quint32 length = static_cast<quint32>(std::strlen(name));
    writeAll(fd, &length, sizeof length);
    writeAll(fd, name, length);
}

void writeData(int fd, const std::vector<unsigned char>& data)
{
    const quint64 length = data.size();
    writeAll(fd, &length, sizeof length);
    if (length > 0)
        writeAll(fd, data.data(), length);
}

// Reads the whole object; false when the decoder gave less than the directory promised.
bool retrieve(chmFile* h, chmUnitInfo* ui, std::vector<unsigned char>& data)
{
    data.assign(static_cast<size_t>(ui->length), 0);
    if (ui->length == 0)
        return true;
    const LONGINT64 got = chm_retrieve_object(h, ui, data.data(), 0, static_cast<LONGINT64>(ui->length));
    return got == static_cast<LONGINT64>(ui->length);
}

int sendFile(chmFile* h, chmUnitInfo* ui, void* context)
{
    auto* c = static_cast<ChildContext*>(context);
    if (ui->path[0] != '/' || ui->path[1] == '\0')
        return CHM_ENUMERATOR_CONTINUE;
    if (static_cast<qint64>(ui->length) < 0 || static_cast<qint64>(ui->length) > c->budget) {
        writeTag(c->fd, 'X');
        const unsigned char reason = TooLarge;
        writeAll(c->fd, &reason, 1);
        ::_exit(0);
    }
    std::vector<unsigned char> data;
    if (retrieve(h, ui, data)) {
        c->budget -= static_cast<qint64>(ui->length);
        writeTag(c->fd, 'F');
        writeName(c->fd, ui->path);
        writeData(c->fd, data);
    } else {
        writeTag(c->fd, 'D');
        writeName(c->fd, ui->path);
    }
    return CHM_ENUMERATOR_CONTINUE;
}

// Objects stored uncompressed (the compressed section among them) must end inside the file; one that does not
// shows the file was cut short.
int checkEnd(chmFile* h, chmUnitInfo* ui, void* context)
{
    auto* c = static_cast<ChildContext*>(context);
    if (ui->space != CHM_UNCOMPRESSED || ui->length == 0)
        return CHM_ENUMERATOR_CONTINUE;
    unsigned char last = 0;
    if (chm_retrieve_object(h, ui, &last, ui->length - 1, 1) != 1) {
        writeTag(c->fd, 'T');
        return CHM_ENUMERATOR_SUCCESS;
    }
    return CHM_ENUMERATOR_CONTINUE;
}

[[noreturn]] void childMain(int fd, const QByteArray& path, qint64 budget)
{
    // A fault in the decoder ends this process at once; the handlers of the program (a test framework's crash
    // report, say) are not meant for it.
    for (const int fault : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT})
        ::signal(fault, SIG_DFL);
    chmFile* h = chm_open(path.constData());
    if (!h) {
        writeTag(fd, 'X');
        const unsigned char reason = NotAnArchive;
        writeAll(fd, &reason, 1);
        ::_exit(0);
    }
    ChildContext context{fd, budget};
    chm_enumerate(h, CHM_ENUMERATE_ALL, checkEnd, &context);
    chm_enumerate(h, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, sendFile, &context);
    chmUnitInfo ui;
    if (chm_resolve_object(h, "/#SYSTEM", &ui) == CHM_RESOLVE_SUCCESS &&
        static_cast<qint64>(ui.length) <= context.budget) {
        std::vector<unsigned char> data;
        if (retrieve(h, &ui, data)) {
            writeTag(fd, 'S');
            writeData(fd, data);
        }
    }
    chm_close(h);
    writeTag(fd, 'E');
    ::_exit(0);
}

// ---- The parent. ----

// Everything the child wrote, or the reason it could not be had.
struct ChildOutput {
    QByteArray bytes;
    bool finished = false; // the child ended by itself with status 0
    bool timedOut = false;
    bool tooMuch = false;
};

ChildOutput runChild(const QByteArray& path, const ChmArchive::Limits& limits)
{
    ChildOutput out;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return out;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return out;
    }
    if (pid == 0) {
        ::close(fds[0]);
        childMain(fds[1], path, limits.maxBytes);
    }
    ::close(fds[1]);

    const QDeadlineTimer deadline(limits.timeoutMs);
    const qint64 cap = limits.maxBytes + 64 * 1024 * 1024; // the data and the records' framing
    char buffer[65536];
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            out.timedOut = true;
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        out.bytes.append(buffer, n);
        if (out.bytes.size() > cap) {
            out.tooMuch = true;
            break;
        }
    }
    ::close(fds[0]);
    if (out.timedOut || out.tooMuch)
        ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    out.finished = !out.timedOut && !out.tooMuch && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return out;
}

// Reads the records of the child's output in turn; every read is checked against the end.
class ChildOutputReader {
public:
    explicit ChildOutputReader(const QByteArray& bytes) : m_bytes(bytes) {}
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    bool take(void* into, qsizetype size)
    {
        if (size < 0 || m_bytes.size() - m_pos < size)
            return false;
        std::memcpy(into, m_bytes.constData() + m_pos, static_cast<size_t>(size));
        m_pos += size;
        return true;
    }
    std::optional<QByteArray> block(quint64 size)
    {
        if (size > quint64(m_bytes.size() - m_pos))
            return std::nullopt;
        QByteArray data = m_bytes.mid(m_pos, qsizetype(size));
        m_pos += qsizetype(size);
        return data;
    }
    std::optional<QString> name()
    {
        quint32 length = 0;
        if (!take(&length, sizeof length))
            return std::nullopt;
        const std::optional<QByteArray> bytes = block(length);
        if (!bytes)
            return std::nullopt;
        return QString::fromUtf8(*bytes);
    }
    std::optional<QByteArray> data()
    {
        quint64 length = 0;
        if (!take(&length, sizeof length))
            return std::nullopt;
        return block(length);
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

QString ChmArchive::key(const QString& name)
{
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path.toCaseFolded();
}

void ChmArchive::add(const QString& name, std::optional<QByteArray> data)
{
    const QString k = key(name);
    if (!m_names.contains(k))
        m_order.append(name);
    m_names.insert(k, name);
    if (data) {
        m_files.insert(k, *data);
        m_damaged.remove(k);
    } else {
        m_files.remove(k);
        m_damaged.insert(k);
    }
}

std::optional<QByteArray> ChmArchive::file(const QString& name) const
{
    const auto it = m_files.constFind(key(name));
    if (it == m_files.cend())
        return std::nullopt;
    return *it;
}

ChmArchive ChmArchive::open(const QString& path, const Limits& limits)
{
    ChmArchive archive;
    archive.m_path = path;
    const QString shown = nativeName(path);
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        archive.m_error = QStringLiteral("ヘルプファイル「%1」が見つかりません。").arg(shown);
        return archive;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        archive.m_error = QStringLiteral("ヘルプファイル「%1」を開けません（%2）。").arg(shown, file.errorString());
        return archive;
    }
    const QByteArray header = file.read(0x58);
    if (!header.startsWith("ITSF")) {
        archive.m_error = QStringLiteral("「%1」はヘルプファイル（CHM形式）ではありません。").arg(shown);
        return archive;
    }
    const QString damaged = QStringLiteral("ヘルプファイル「%1」は壊れているため読み込めませんでした。").arg(shown);
    // The header says where the directory of the files lies; a file cut before its end lists only some of them.
    if (header.size() < 0x58 ||
        qFromLittleEndian<quint64>(header.constData() + 0x48) + qFromLittleEndian<quint64>(header.constData() + 0x50) >
            quint64(file.size())) {
        archive.m_error = damaged;
        return archive;
    }
    file.close();

    const ChildOutput out = runChild(QFile::encodeName(path), limits);
    if (out.timedOut) {
        archive.m_error = QStringLiteral("ヘルプファイル「%1」を時間内に読み込めませんでした。"
                                         "ファイルが壊れている可能性があります。")
                              .arg(shown);
        return archive;
    }
    if (out.tooMuch) {
        archive.m_error = QStringLiteral("ヘルプファイル「%1」は大きすぎるため読み込めません。").arg(shown);
        return archive;
    }

    ChildOutputReader reader(out.bytes);
    bool ended = false;
    bool cutShort = false;
    while (!ended && !reader.atEnd()) {
        char tag = 0;
        reader.take(&tag, 1);
        if (tag == 'F') {
            const std::optional<QString> name = reader.name();
            const std::optional<QByteArray> data = name ? reader.data() : std::nullopt;
            if (!data)
                break;
            archive.add(*name, data);
        } else if (tag == 'D') {
            const std::optional<QString> name = reader.name();
            if (!name)
                break;
            archive.add(*name, std::nullopt);
        } else if (tag == 'S') {
            const std::optional<QByteArray> data = reader.data();
            if (!data)
                break;
            archive.m_system = *data;
        } else if (tag == 'X') {
            unsigned char reason = 0;
            reader.take(&reason, 1);
            archive.m_error = reason == TooLarge
                                  ? QStringLiteral("ヘルプファイル「%1」は大きすぎるため読み込めません。").arg(shown)
                                  : damaged;
            return archive;
        } else if (tag == 'T') {
            cutShort = true;
        } else if (tag == 'E') {
            ended = true;
        } else {
            break;
        }
    }
    // When the decoder died part way, the files sent before are whole: the archive opens with them and says it
    // is incomplete, unless nothing at all could be had.
    archive.m_complete = ended && out.finished && !cutShort;
    if (!archive.m_complete && archive.m_order.isEmpty()) {
        archive.m_error = damaged;
        return archive;
    }
    archive.m_error.clear();
    return archive;
}
