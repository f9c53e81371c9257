#include "history/Backups.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"
#include "store/TitleTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace backup {

QString reasonKey(Reason reason)
{
    switch (reason) {
    case Reason::Daily:
        return QStringLiteral("daily");
    case Reason::BeforeClear:
        return QStringLiteral("clear");
    case Reason::BeforeImport:
        return QStringLiteral("import");
    case Reason::BeforeDisplayOrder:
        return QStringLiteral("order");
    case Reason::BeforeSortOrder:
        return QStringLiteral("sort");
    case Reason::BeforeRestore:
        return QStringLiteral("restore");
    case Reason::BeforeSpreadsheet:
        return QStringLiteral("spreadsheet");
    }
    return {};
}

QString reasonText(const QString& key)
{
    static const QHash<QString, QString> texts{
        {QStringLiteral("daily"), QStringLiteral("その日の最初の変更の前")},
        {QStringLiteral("clear"), QStringLiteral("コミックデータ全削除の前")},
        {QStringLiteral("import"), QStringLiteral("タナミルからのデータ引継ぎの前")},
        {QStringLiteral("order"), QStringLiteral("表示順位微調整の反映の前")},
        {QStringLiteral("sort"), QStringLiteral("メインに反映の前")},
        {QStringLiteral("restore"), QStringLiteral("バックアップから戻す前")},
        {QStringLiteral("spreadsheet"), QStringLiteral("表計算からの取り込みの前")},
    };
    return texts.value(key, key);
}

} // namespace backup

QString Generation::rowText() const
{
    QString text = QStringLiteral("%1　%2　題名 %3 件")
                       .arg(taken.toString(u"yyyy/MM/dd HH:mm:ss"), backup::reasonText(reasonKey))
                       .arg(titleCount);
    if (!damage.isEmpty())
        text += QStringLiteral("　［壊れています：%1］").arg(damage);
    return text;
}

namespace {

// A generation's folder: the time it was taken, and a number when two were taken in the same second.
const QRegularExpression GenerationName(QStringLiteral("^(\\d{8}-\\d{6})(?:-(\\d+))?$"));
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");

struct NameKey {
    QString stamp;
    int number = 0;
    bool operator<(const NameKey& other) const
    {
        return stamp != other.stamp ? stamp < other.stamp : number < other.number;
    }
};

std::optional<NameKey> keyOf(const QString& folderName)
{
    const QRegularExpressionMatch match = GenerationName.match(folderName);
    if (!match.hasMatch())
        return std::nullopt;
    return NameKey{match.captured(1), match.captured(2).isEmpty() ? 0 : match.captured(2).toInt()};
}

// The generation folders in root, oldest first.
QStringList generationFolders(const QString& root)
{
    QList<std::pair<NameKey, QString>> found;
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (const std::optional<NameKey> key = keyOf(name))
            found.append({*key, name});
    }
    std::sort(found.begin(), found.end());
    QStringList names;
    for (const auto& entry : std::as_const(found))
        names.append(entry.second);
    return names;
}

QString randomSuffix()
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)]);
    return suffix;
}

} // namespace

QStringList backup::regularFiles(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    while (const dirent* entry = ::readdir(dir)) {
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            regular = ::stat((prefix + entry->d_name).constData(), &info) == 0 && S_ISREG(info.st_mode);
        }
        if (regular)
            names.append(QFile::decodeName(entry->d_name));
    }
    ::closedir(dir);
    return names;
}

backup::TitleFiles::TitleFiles(const QStringList& titles)
{
    // Letter case is folded character by character, so a folded title followed by a folded suffix is the
    // folded file name.
    for (const QString& name : CollectionStore::titleFileNames(QString()))
        m_suffixes.append(name.toCaseFolded());
    m_titles.reserve(titles.size());
    for (const QString& title : titles)
        m_titles.insert(title.toCaseFolded());
    for (const QString& name : CollectionStore::programFileNames())
        m_program.insert(name.toCaseFolded());
}

bool backup::TitleFiles::contains(const QString& foldedName) const
{
    // A title named after one of the program's own files never owns it.
    if (m_program.contains(foldedName))
        return false;
    for (const QString& suffix : m_suffixes)
        if (foldedName.endsWith(suffix) && m_titles.contains(foldedName.chopped(suffix.size())))
            return true;
    return false;
}

namespace {

QString failure(const QString& name, const QString& reason)
{
    return QStringLiteral("バックアップを作れませんでした。\n「%1」: %2").arg(name, reason);
}

} // namespace

Backups::Backups(CollectionStore& store) : m_store(store), m_files(std::make_unique<BackupFiles>()) {}

Backups::~Backups() = default;

void Backups::setFiles(std::unique_ptr<BackupFiles> files)
{
    m_files = files ? std::move(files) : std::make_unique<BackupFiles>();
}

void Backups::setClock(std::function<QDateTime()> now)
{
    m_now = std::move(now);
}

QDateTime Backups::clock() const
{
    QDateTime now = m_now ? m_now() : QDateTime::currentDateTime();
    // The manifest keeps whole seconds; so does everything compared with it.
    return now.addMSecs(-now.time().msec());
}

QString Backups::folderPath() const
{
    return m_store.folder().path() + QLatin1Char('/') + FolderName;
}

QString Backups::generationPath(const QString& folderName) const
{
    return folderPath() + QLatin1Char('/') + folderName;
}

QStringList Backups::filesToKeep(const TitleTable& titles, const QStringList& moreTitles) const
{
    QStringList owners = moreTitles;
    for (const TitleRecord& record : titles.records())
        owners.append(record.title);
    const backup::TitleFiles owned(owners);
    QSet<QString> programFiles;
    for (const QString& name :
         {CollectionStore::CollectionFileName, CollectionStore::SettingsFileName, CollectionStore::RankingFileName})
        programFiles.insert(name.toCaseFolded());
    // One listing of the folder finds every spelling, rather than one lookup per possible file.
    QStringList names;
    for (const QString& name : backup::regularFiles(m_store.folder().path())) {
        const QString folded = name.toCaseFolded();
        if (programFiles.contains(folded) || owned.contains(folded))
            names.append(name);
    }
    return names;
}

QString Backups::take(const TitleTable& titles, backup::Reason reason)
{
    QString folderName;
    return takeInto(titles, {}, reason, QString(), &folderName);
}

QString Backups::takeInto(const TitleTable& titles, const QStringList& moreTitles, backup::Reason reason,
                          const QString& keep, QString* folderName)
{
    const bool wasBusy = m_busy;
    m_busy = true;
    const auto done = [this, wasBusy](const QString& result) {
        m_busy = wasBusy;
        return result;
    };

    const QString root = folderPath();
    const QString dataPath = m_store.folder().path();
    bool madeRoot = false;
    if (!QFileInfo(root).isDir()) {
        if (!QDir(dataPath).mkdir(FolderName))
            return done(failure(FolderName, QStringLiteral("フォルダを作れません")));
        madeRoot = true;
    }
    // What a take that was killed part-way left behind is this program's own and never a generation.
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        if (name.startsWith(AtomicFileWriter::StagingPrefix))
            QDir(root + QLatin1Char('/') + name).removeRecursively();

    // The generation is made under a name no generation has and gets its own name only when whole.
    const QString staging = root + QLatin1Char('/') + AtomicFileWriter::StagingPrefix + randomSuffix();
    const auto giveUp = [&](const QString& name, const QString& reason) {
        QDir(staging).removeRecursively();
        if (madeRoot)
            QDir(dataPath).rmdir(FolderName);
        return done(failure(name, reason));
    };
    if (!QDir(root).mkdir(QFileInfo(staging).fileName()))
        return giveUp(FolderName, QStringLiteral("フォルダを作れません"));

    manifest::Manifest list;
    list.taken = clock();
    list.reason = backup::reasonKey(reason);
    list.titleCount = titles.count();
    const QStringList names = filesToKeep(titles, moreTitles);
    list.files.reserve(names.size());
    for (const QString& name : names) {
        qint64 size = 0;
        const QString reasonText =
            m_files->share(dataPath + QLatin1Char('/') + name, staging + QLatin1Char('/') + name, &size);
        if (!reasonText.isEmpty())
            return giveUp(name, reasonText);
        list.files.append({name, size});
    }
    if (const QString reasonText =
            m_files->writeNew(staging + QLatin1Char('/') + manifest::FileName, manifest::format(list));
        !reasonText.isEmpty())
        return giveUp(manifest::FileName, reasonText);

    QString name = list.taken.toString(StampFormat);
    for (int n = 2; QFileInfo::exists(root + QLatin1Char('/') + name); ++n)
        name = list.taken.toString(StampFormat) + QLatin1Char('-') + QString::number(n);
    if (const QString reasonText = m_files->rename(staging, root + QLatin1Char('/') + name); !reasonText.isEmpty())
        return giveUp(FolderName, reasonText);

    *folderName = name;
    m_lastTaken = list.taken.date();
    m_lastTakenKnown = true;
    prune(keep);
    return done(QString());
}

void Backups::prune(const QString& keep) const
{
    QStringList folders = generationFolders(folderPath());
    folders.removeAll(keep);
    for (qsizetype i = 0; i + Kept < folders.size() + (keep.isEmpty() ? 0 : 1); ++i)
        QDir(generationPath(folders[i])).removeRecursively();
}

bool Backups::dailyDue()
{
    if (m_busy)
        return false;
    const QDate today = clock().date();
    if (m_dailyFailed == today)
        return false;
    if (!m_lastTakenKnown) {
        const QStringList folders = generationFolders(folderPath());
        if (!folders.isEmpty())
            m_lastTaken = QDateTime::fromString(folders.last().left(StampFormat.size()), StampFormat).date();
        m_lastTakenKnown = true;
    }
    return m_lastTaken != today;
}

QString Backups::takeDaily(const TitleTable& titles)
{
    if (!dailyDue())
        return {};
    const QString error = take(titles, backup::Reason::Daily);
    // Told once: the changes of the day go on without asking again.
    if (!error.isEmpty())
        m_dailyFailed = clock().date();
    return error;
}

QList<Generation> Backups::list() const
{
    QList<Generation> generations;
    const QStringList folders = generationFolders(folderPath());
    for (auto it = folders.crbegin(); it != folders.crend(); ++it) {
        Generation generation;
        generation.folderName = *it;
        QFile file(generationPath(*it) + QLatin1Char('/') + manifest::FileName);
        std::optional<manifest::Manifest> head;
        if (file.open(QIODevice::ReadOnly))
            head = manifest::parseHeader(file.read(1024));
        if (head) {
            generation.taken = head->taken;
            generation.reasonKey = head->reason;
            generation.titleCount = head->titleCount;
        } else {
            generation.taken = QDateTime::fromString(it->left(StampFormat.size()), StampFormat);
            generation.damage = QStringLiteral("目録「%1」がないか、読み込めません").arg(manifest::FileName);
        }
        generations.append(generation);
    }
    return generations;
}

QString Backups::check(const QString& folderName) const
{
    return checkGeneration(generationPath(folderName));
}

QString Backups::checkGeneration(const QString& folder)
{
    QFile file(folder + QLatin1Char('/') + manifest::FileName);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("目録「%1」がないか、読み込めません").arg(manifest::FileName);
    // Each listed file is looked at as its line is read, through one path buffer: a generation may list tens of
    // thousands, and nothing of them is kept.
    QByteArray path = QFile::encodeName(folder) + '/';
    const qsizetype prefix = path.size();
    QString problem;
    const std::optional<manifest::Manifest> list =
        manifest::visitFiles(file.readAll(), [&](QByteArrayView name, qint64 size) {
            path.truncate(prefix);
            path += name;
            struct stat info {};
            if (::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
                problem = QStringLiteral("「%1」がありません");
            else if (info.st_size != size)
                problem = QStringLiteral("「%1」の大きさが記録と違います");
            else if (::access(path.constData(), R_OK) != 0)
                problem = QStringLiteral("「%1」を読み込めません");
            if (!problem.isEmpty())
                problem = problem.arg(QString::fromUtf8(name));
            return problem.isEmpty();
        });
    if (!list)
        return QStringLiteral("目録「%1」が壊れています").arg(manifest::FileName);
    return problem;
}
