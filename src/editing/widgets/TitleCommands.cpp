#include "editing/widgets/TitleCommands.h"

#include "editing/TitleInput.h"
#include "history/TitleChanges.h"
#include "store/CollectionStore.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/ScreenHost.h"
#include "ui/logic/AppState.h"
#include "ui/logic/TourTexts.h"

#include <QDate>

namespace {

const QString Limit = QStringLiteral("入力制限");
const QString Duplicate = QStringLiteral("二重登録");
const QString DuplicateText = QStringLiteral("既に同じ題名で登録されているものがあります。\r\n\r\n"
                                             "題名の後ろに作者名を入れるなどして区別して下さい");
constexpr int Warning = Dialogs::OkOnly + Dialogs::Exclamation;

// A title whose files would be those of an existing record: either the two differ only in letter case, or a
// file name of one is a file name of the other ("abc_C.TXT" is the volume file of "abc_C" and, letter case
// ignored, the memo of "abc").
QString fileTwinText(const QString& title, const QString& existing)
{
    const QString why = title.toCaseFolded() == existing.toCaseFolded()
                            ? QStringLiteral("「%1」は、登録済みの「%2」と英字の大文字・小文字しか違わないため、"
                                             "巻数・メモ・画像のファイルが同じになってしまいます。")
                            : QStringLiteral("「%1」の巻数・メモ・画像のファイルのどれかが、登録済みの「%2」の"
                                             "ファイルと同じ名前になってしまいます。");
    return why.arg(title, existing) + QStringLiteral("\r\n\r\n題名の後ろに作者名を入れるなどして区別して下さい");
}

// Empty, or why title cannot be added: one of its files would be one of the program's own.
QString programFileText(const QString& title)
{
    QStringList clashes;
    for (const QString& name : CollectionStore::titleFileNames(title))
        if (const QString programFile = CollectionStore::programFileFor(name); !programFile.isEmpty())
            clashes << QStringLiteral("「%1」は「%2」").arg(name, programFile);
    if (clashes.isEmpty())
        return {};
    return QStringLiteral("「%1」は登録できません。この題名のファイル%2と同じになり、"
                          "このプログラム自身のファイルを壊してしまいます。\r\n\r\n"
                          "題名の後ろに作者名を入れるなどして区別して下さい")
        .arg(title, clashes.join(QStringLiteral("、")));
}

} // namespace

TitleCommands::TitleCommands(AppState& state, Dialogs& dialogs, ScreenHost& host, MainPage& page, QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_page(page)
{
}

QString TitleCommands::askTitle()
{
    QString defaultText;
    for (;;) {
        const QString entry =
            m_dialogs.inputBox(QStringLiteral("題名を入力して下さい"), QStringLiteral("題名入力"), defaultText);
        if (entry.isEmpty())
            return QString();
        if (titleinput::hasRefusedCharacter(entry)) {
            m_dialogs.messageBox(titleinput::RefusedCharacterMessage, Warning, Limit);
            continue;
        }
        QString problem = titleinput::storableProblem(entry, QStringLiteral("題名"));
        if (problem.isEmpty())
            problem = titleinput::fileNameProblem(entry);
        if (problem.isEmpty())
            problem = programFileText(entry);
        if (!problem.isEmpty()) {
            m_dialogs.messageBox(problem, Warning, Limit);
            continue;
        }
        if (m_state.titles.indexOfTitle(entry) != 0) {
            m_dialogs.messageBox(DuplicateText, Warning, Duplicate);
            defaultText = entry;
            continue;
        }
        if (const int twin = titleinput::fileCollisionIndex(m_state.titles, entry)) {
            m_dialogs.messageBox(fileTwinText(entry, m_state.titles.at(twin).title), Warning, Duplicate);
            defaultText = entry;
            continue;
        }
        return entry;
    }
}

bool TitleCommands::refuseTakenTitles(const QStringList& titles)
{
    for (const QString& title : titles) {
        QString text;
        if (m_state.titles.indexOfTitle(title) != 0)
            text = QStringLiteral("分割後の題名「%1」は既に登録されています。\r\n\r\n").arg(title) + DuplicateText;
        else if (const int twin = titleinput::fileCollisionIndex(m_state.titles, title))
            text = fileTwinText(title, m_state.titles.at(twin).title);
        else if (const QString problem = titleinput::fileNameProblem(title); !problem.isEmpty())
            text = problem;
        else if (const QString clash = programFileText(title); !clash.isEmpty())
            text = clash;
        if (!text.isEmpty()) {
            m_dialogs.messageBox(text, Warning, Duplicate);
            return true;
        }
    }
    return false;
}

void TitleCommands::cmdNew_Click()
{
    if (m_page.isHidden())
        m_host.showMainPage(0);
    m_state.TourText = tour::addIntro();
    m_host.ShowTourMessage();

    const QString title = askTitle();
    if (title.isEmpty())
        return;
    const int first = m_state.titles.count() + 1;

    const QString countText = m_dialogs.inputBox(QStringLiteral("トータル巻数を入力して下さい。（半角入力で）"),
                                                 QStringLiteral("巻数入力"), QString());
    const qint64 count = titleinput::countInput(countText);
    if (countText.isEmpty() || count < 1)
        return;
    if (count > titleinput::MaxCount) {
        m_dialogs.messageBox(QStringLiteral("巻数は%1巻までで入力して下さい。").arg(titleinput::MaxCount), Warning,
                             Limit);
        return;
    }

    const QList<TitleRecord> records = titleinput::newRecords(title, int(count), QDate::currentDate());
    if (m_state.titles.count() + records.size() > TitleTable::MaxTitles) {
        m_dialogs.messageBox(QStringLiteral("登録できるのは全部で%1件までです。あと%2件しか追加できません。")
                                 .arg(TitleTable::MaxTitles)
                                 .arg(TitleTable::MaxTitles - m_state.titles.count()),
                             Warning, Limit);
        return;
    }
    QStringList titles;
    for (const TitleRecord& record : records)
        titles << record.title;
    if (records.size() > 1 && refuseTakenTitles(titles))
        return;
    if (records.size() > 1)
        m_dialogs.messageBox(QStringLiteral("自動的に５０巻ずつのデータに分けます"),
                             Dialogs::OkOnly + Dialogs::Information, QStringLiteral("１データ５０件制限"));

    const ChangeHistory::Result result =
        m_state.history.perform(std::make_unique<TitleAdd>(m_state.changes, title, records));
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error + QStringLiteral("\n\nコミックは追加されていません。"), Warning,
                             QStringLiteral("保存できません"));
        return;
    }
    const QString problem = m_host.LoadTitleTable();
    if (!problem.isEmpty())
        m_dialogs.messageBox(problem, Warning, QStringLiteral("データファイルの異常"));
    if (!result.notice.isEmpty())
        m_dialogs.messageBox(result.notice + QStringLiteral("\n\nコミックは追加されましたが、"
                                                            "お気に入りランキングには載っていません。"),
                             Warning, QStringLiteral("保存できません"));

    // The page shows the first new record: its counter, title, grid and fields all belong to it.
    if (m_page.currentIndex() == first)
        m_page.ShowTitle();
    else
        m_page.setCurrentIndex(first);
    m_state.stale.setAll();
    m_state.GalleryStale = true;

    m_state.TourText = tour::addDone();
    m_host.ShowTourMessage();
}

void TitleCommands::cmdDel_Click()
{
    // The record shown, never one found by a name typed somewhere.
    const int index = m_page.currentIndex();
    if (!m_state.titles.isValidIndex(index))
        return;
    const QString title = m_state.titles.at(index).title;
    // Cancel is the default button: one Enter too many deletes nothing.
    if (m_dialogs.messageBox(title + QStringLiteral("のデータを削除していいですか？"),
                             Dialogs::OkCancel + Dialogs::Exclamation + Dialogs::DefaultButton2,
                             QStringLiteral("削除確認")) != Dialogs::Ok)
        return;

    const int oldCount = m_state.titles.count();
    const ChangeHistory::Result result = m_state.history.perform(std::make_unique<TitleDelete>(m_state.changes, index));
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error + QStringLiteral("\n\nコミックは削除されていません。"), Warning,
                             QStringLiteral("保存できません"));
        return;
    }
    if (const QString kept = CollectionStore::programFileClash(title); !kept.isEmpty())
        m_dialogs.messageBox(kept + QStringLiteral("\n\nコミックは削除しましたが、このファイルは残してあります。"),
                             Dialogs::OkOnly + Dialogs::Information, QStringLiteral("削除"));
    const QString problem = m_host.LoadTitleTable();
    if (!problem.isEmpty())
        m_dialogs.messageBox(problem, Warning, QStringLiteral("データファイルの異常"));

    if (m_state.titles.isEmpty()) {
        m_page.showEmptyCollection();
    } else {
        const int shown = index == oldCount ? index - 1 : index;
        if (m_page.currentIndex() == shown)
            m_page.ShowTitle();
        else
            m_page.setCurrentIndex(shown);
    }
    // Also an emptied collection: no list may keep showing the deleted record.
    m_state.stale.setAll();
    m_state.GalleryStale = true;
}
