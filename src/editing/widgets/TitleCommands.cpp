#include "editing/widgets/TitleCommands.h"

#include "editing/TitleInput.h"
#include "history/TitleChanges.h"
#include "store/CollectionStore.h"
#include "store/TitleRules.h"
#include "ui/CollectionLock.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/ScreenHost.h"
#include "ui/logic/AppState.h"
#include "ui/logic/TourTexts.h"
#include "ui/logic/TypedNumber.h"

#include <QDate>

namespace {

const QString Limit = QStringLiteral("入力制限");
const QString Duplicate = QStringLiteral("二重登録");
const QString DuplicateText = QStringLiteral("既に同じ題名で登録されているものがあります。\r\n\r\n"
                                             "題名の後ろに作者名を入れるなどして区別して下さい");
constexpr int Warning = Dialogs::OkOnly + Dialogs::Exclamation;

// A refusal because of another title's files or the program's own, with the advice how to tell them apart.
QString withAdvice(const QString& reason)
{
    return reason + titlerules::DistinguishAdvice;
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
        const QString entry = titlerules::storedForm(
            m_dialogs.inputBox(QStringLiteral("題名を入力して下さい"), QStringLiteral("題名入力"), defaultText));
        if (entry.isEmpty())
            return QString();
        const titlerules::Verdict verdict = titlerules::checkTitle(m_state.titles, entry);
        switch (verdict.fault) {
        case titlerules::Fault::None:
            return entry;
        case titlerules::Fault::RefusedCharacter:
        case titlerules::Fault::NotStorable:
        case titlerules::Fault::BadFileName:
            m_dialogs.messageBox(verdict.reason, Warning, Limit);
            continue;
        case titlerules::Fault::ProgramFile:
            m_dialogs.messageBox(withAdvice(verdict.reason), Warning, Limit);
            continue;
        case titlerules::Fault::SameTitle:
            m_dialogs.messageBox(DuplicateText, Warning, Duplicate);
            break;
        case titlerules::Fault::FileTwin:
            m_dialogs.messageBox(withAdvice(verdict.reason), Warning, Duplicate);
            break;
        }
        defaultText = entry;
    }
}

bool TitleCommands::refuseTakenTitles(const QStringList& titles)
{
    for (const QString& title : titles) {
        QString text;
        if (m_state.titles.indexOfTitle(title) != 0)
            text = QStringLiteral("分割後の題名「%1」は既に登録されています。\r\n\r\n").arg(title) + DuplicateText;
        else if (const int twin = titlerules::fileCollisionIndex(m_state.titles, title))
            text = withAdvice(
                titlerules::fileTwinProblem(title, m_state.titles.at(twin).title, titlerules::RegisteredLabel));
        else if (const QString problem = titlerules::fileNameProblem(title); !problem.isEmpty())
            text = problem;
        else if (const QString clash = titlerules::programFileProblem(title); !clash.isEmpty())
            text = withAdvice(clash);
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
    if (refusedWhileLocked(m_state.store, m_dialogs,
                           QStringLiteral("コミックは追加できません。読み込めなかったコミックと同じ題名かどうかも"
                                          "確かめられません。"),
                           QStringLiteral("保存できません")))
        return;

    const QString title = askTitle();
    if (title.isEmpty())
        return;
    const int first = m_state.titles.count() + 1;

    const QString countText = m_dialogs.inputBox(QStringLiteral("トータル巻数を入力して下さい。（半角入力で）"),
                                                 QStringLiteral("巻数入力"), QString());
    const qint64 count = typednumber::leadingNumber(countText);
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
    m_host.refillTitleLists();
    if (!result.notice.isEmpty())
        m_dialogs.messageBox(result.notice + QStringLiteral("\n\nコミックは追加されましたが、"
                                                            "おもしろランキングには載っていません。"),
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
    if (!result.notice.isEmpty())
        m_dialogs.messageBox(result.notice +
                                 QStringLiteral("\n\nコミックは削除しましたが、このファイルは残っています。"),
                             Warning, QStringLiteral("削除できません"));
    m_host.refillTitleLists();

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
