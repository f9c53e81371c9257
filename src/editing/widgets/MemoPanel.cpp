#include "editing/widgets/MemoPanel.h"

#include "editing/TitleInput.h"
#include "history/RecordChanges.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QPlainTextEdit>
#include <QPushButton>

MemoPanel::MemoPanel(MainPage& page, AppState& state, Dialogs& dialogs)
    : QFrame(&page), m_page(page), m_state(state), m_dialogs(dialogs), m_txtMemo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("fraMemo"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);

    m_txtMemo->setObjectName(QStringLiteral("txtMemo"));
    m_txtMemo->setGeometry(twips::rect(60, 60, 3630, 1740));
    // Focus given to the panel goes to the memo text, ready for typing.
    setFocusProxy(m_txtMemo);

    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("cmdMemoHozon"));
    save->setGeometry(twips::rect(1620, 1860, 960, 360));
    connect(save, &QPushButton::clicked, this, &MemoPanel::cmdMemoHozon_Click);

    auto* back = new QPushButton(QStringLiteral("戻る"), this);
    back->setObjectName(QStringLiteral("cmdKan"));
    back->setGeometry(twips::rect(2700, 1860, 960, 360));
    connect(back, &QPushButton::clicked, this, &MemoPanel::cmdKan_Click);
    hide();
}

void MemoPanel::setMemo(const QString& memo)
{
    QString shown = memo;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_txtMemo->setPlainText(shown);
}

QString MemoPanel::memo() const
{
    QString text = m_txtMemo->toPlainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

void MemoPanel::cmdKan_Click()
{
    hide();
}

void MemoPanel::cmdMemoHozon_Click()
{
    // With no record shown there is no memo file to write.
    const int index = m_page.currentIndex();
    if (!m_state.titles.isValidIndex(index))
        return;
    const QString text = titlerules::storedForm(memo());
    QString checked = text;
    checked.replace(QLatin1Char('\t'), QLatin1Char(' ')); // tabs are ordinary text in a memo
    const QString problem = titleinput::storableProblem(checked, QStringLiteral("メモ"), true, false);
    if (!problem.isEmpty()) {
        m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("入力制限"));
        return;
    }
    const ChangeHistory::Result result =
        m_state.history.perform(std::make_unique<MemoSave>(m_state.changes, m_state.titles.at(index).title, text));
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
        return;
    }
    // Stored: the undo keys now take back the save rather than the typing.
    m_txtMemo->document()->setModified(false);
    emit saved(text);
}
