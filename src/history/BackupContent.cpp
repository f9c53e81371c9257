#include "history/BackupContent.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"
#include "store/TextKeys.h"
#include "store/WholeFile.h"

#include <QSet>
#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <numeric>

#include <cerrno>

namespace backup {

namespace {

std::optional<QByteArray> withReason(std::optional<QByteArray> bytes, QString* reason)
{
    if (!bytes && reason)
        *reason = qt_error_string(errno);
    return bytes;
}

} // namespace

std::optional<QByteArray> readWhole(const QString& path, QString* reason)
{
    return withReason(wholefile::read(path), reason);
}

std::optional<QByteArray> readWholeAt(int folderFd, const QString& name, QString* reason)
{
    return withReason(wholefile::readRegularAt(folderFd, name), reason);
}

bool isDataFileName(const QString& name, const QString& folded)
{
    if (!DataFolder::checkFileName(name).isEmpty())
        return false;
    if (const QString program = CollectionStore::programFileForFolded(folded); !program.isEmpty())
        return program == CollectionStore::CollectionFileName || program == CollectionStore::SettingsFileName ||
               program == CollectionStore::RankingFileName;
    static const QStringList suffixes = [] {
        QStringList folded;
        for (const QString& suffix : CollectionStore::titleFileNames(QString()))
            folded.append(suffix.toCaseFolded());
        return folded;
    }();
    for (const QString& suffix : suffixes)
        if (folded.size() > suffix.size() && folded.endsWith(suffix))
            return true;
    return false;
}

std::optional<QByteArrayView> PackReader::bytes(const manifest::Manifest& list, const manifest::Entry& entry)
{
    const QString& pack = list.packs.at(entry.pack);
    auto map = m_maps.constFind(pack);
    if (map == m_maps.cend()) {
        auto file = std::make_shared<QFile>(m_folder + QLatin1Char('/') + pack);
        QByteArrayView view;
        if (file->open(QIODevice::ReadOnly)) {
            const qint64 size = file->size();
            if (size == 0)
                view = QByteArrayView("", 0);
            else if (const uchar* data = file->map(0, size))
                view = QByteArrayView(reinterpret_cast<const char*>(data), size);
        }
        m_files.insert(pack, file);
        map = m_maps.insert(pack, view);
    }
    if (map->data() == nullptr || entry.offset > map->size() || entry.size > map->size() - entry.offset)
        return std::nullopt;
    return map->sliced(entry.offset, entry.size);
}

namespace {

// Where a file's bytes lie in a generation's packs, and the hash they must have.
struct ProvedPlace {
    QByteArrayView hash;
    int pack;
    qint64 offset;
    qint64 size;
    bool operator==(const ProvedPlace&) const = default;
};

size_t qHash(const ProvedPlace& place, size_t seed = 0)
{
    // Where the bytes lie already tells places apart; hashing the content hash's text as well cost more than the
    // rest of the lookup.
    return qHashMulti(seed, place.pack, place.offset, place.size);
}

// A name of a list, folded, and whether a data folder may hold a file of that name.
struct JudgedName {
    QString folded;
    bool data = false;
};

} // namespace

QString verify(const QString& contentFolder, const manifest::Manifest& list)
{
    PackReader packs(contentFolder);
    // Each name is folded and judged on its own, so the names are shared among the cores.
    const QList<JudgedName> judged =
        QtConcurrent::blockingMapped<QList<JudgedName>>(list.files, [](const manifest::Entry& entry) {
            JudgedName name{entry.name.toCaseFolded()};
            name.data = isDataFileName(entry.name, name.folded);
            return name;
        });
    // Files of equal content share their bytes: each place is proved once.
    QSet<ProvedPlace> placed;
    placed.reserve(list.files.size());
    QSet<TextKey> names;
    names.reserve(list.files.size());
    struct Proof {
        qsizetype entry;
        QByteArrayView bytes;
    };
    QList<Proof> proofs;
    proofs.reserve(list.files.size());
    for (qsizetype i = 0; i < list.files.size(); ++i) {
        const manifest::Entry& entry = list.files[i];
        if (!judged[i].data)
            return QStringLiteral("「%1」はデータファイルの名前ではありません").arg(entry.name);
        if (const qsizetype before = names.size(); names.insert({judged[i].folded}), names.size() == before)
            return QStringLiteral("「%1」が二度記録されています").arg(entry.name);
        const std::optional<QByteArrayView> bytes = packs.bytes(list, entry);
        if (!bytes)
            return QStringLiteral("「%1」がありません（「%2」が欠けています）").arg(entry.name, list.packs[entry.pack]);
        if (const qsizetype before = placed.size();
            placed.insert({entry.hash, entry.pack, entry.offset, entry.size}), placed.size() == before)
            continue;
        proofs.append({i, *bytes});
    }
    // Hashing is most of the work and each file is proved on its own, so the files are shared among the cores;
    // the first file in the list's order that fails is the one named, whatever the order of the work.
    const int parts = std::max(1, QThread::idealThreadCount());
    const qsizetype share = (proofs.size() + parts - 1) / parts;
    QList<qsizetype> firstBad(parts, -1);
    QList<int> indexes(parts);
    std::iota(indexes.begin(), indexes.end(), 0);
    QtConcurrent::blockingMap(indexes, [&](int part) {
        for (qsizetype k = part * share; k < std::min(proofs.size(), (part + 1) * share); ++k) {
            const Proof& proof = proofs[k];
            if (manifest::hashOf(proof.bytes) != list.files[proof.entry].hash) {
                firstBad[part] = proof.entry;
                return;
            }
        }
    });
    for (const qsizetype bad : std::as_const(firstBad))
        if (bad >= 0)
            return QStringLiteral("「%1」の中身が記録と違います").arg(list.files[bad].name);
    return {};
}

} // namespace backup
