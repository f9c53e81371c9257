#include "history/Backups.h"

#include "store/CollectionStore.h"
#include "store/DataFolder.h"

#include <QFile>
#include <QHash>

#include <dirent.h>
#include <sys/stat.h>

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

QStringList backup::regularFiles(const QString& folder, QStringList* others)
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    while (const dirent* entry = ::readdir(dir)) {
        bool regular = entry->d_type == DT_REG;
        bool directory = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            const bool found = ::stat((prefix + entry->d_name).constData(), &info) == 0;
            regular = found && S_ISREG(info.st_mode);
            directory = found && S_ISDIR(info.st_mode);
        }
        if (regular)
            names.append(QFile::decodeName(entry->d_name));
        else if (others && !directory)
            others->append(QFile::decodeName(entry->d_name));
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
    m_folded = DataFolder::foldedAll(titles);
    m_titles.reserve(m_folded.size());
    for (const QString& title : std::as_const(m_folded))
        m_titles.insert(ViewKey{title});
    for (const QString& name : CollectionStore::programFileNames())
        m_program.insert(name.toCaseFolded());
}

bool backup::TitleFiles::contains(const QString& foldedName) const
{
    // A title named after one of the program's own files never owns it.
    if (m_program.contains(foldedName))
        return false;
    for (const QString& suffix : m_suffixes)
        if (foldedName.endsWith(suffix) && m_titles.contains(ViewKey{QStringView(foldedName).chopped(suffix.size())}))
            return true;
    return false;
}
