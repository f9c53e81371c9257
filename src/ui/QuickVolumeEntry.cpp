#include "ui/QuickVolumeEntry.h"

#include "history/RecordChanges.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/VolumeGrid.h"
#include "ui/logic/AppState.h"
#include "ui/logic/MainPageLogic.h"
#include "ui/logic/QuickVolumes.h"

#include <QKeyEvent>

namespace {

const QString BoxTitle = QStringLiteral("巻の一括入力");

} // namespace

QuickVolumeEntry::QuickVolumeEntry(AppState& state, Dialogs& dialogs, MainPage& page)
    : QLineEdit(&page), m_state(state), m_dialogs(dialogs), m_page(page)
{
    setObjectName(QStringLiteral("txtQuickKan"));
    setPlaceholderText(QStringLiteral("例：1-12, 15"));
    setToolTip(QStringLiteral("巻の番号を入力して Enter で所持、Shift+Enter で未所持にします"));
    // An empty box holds no typing of its own, so the undo keys go back to the window's steps.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& now) {
        if (now.isEmpty())
            setModified(false);
    });
}

void QuickVolumeEntry::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        enter(event->modifiers().testFlag(Qt::ShiftModifier));
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void QuickVolumeEntry::enter(bool missing)
{
    const int current = m_page.currentIndex();
    if (!m_state.titles.isValidIndex(current))
        return;
    // The states as the file holds them now, so that the plan changes only volumes not already as asked.
    m_page.ReadVolumeFile();
    // The numbers the user sees: the captions of the shown labels.
    VolumeGrid* grid = m_page.volumeGrid();
    std::array<int, 51> shown{};
    for (int k = 1; k <= volumefile::Volumes; ++k)
        if (!grid->label(k)->isHidden())
            shown[k] = grid->label(k)->text().toInt();

    const quickvolumes::Plan plan = quickvolumes::plan(text(), shown, m_state.VolumeStatus, missing);
    if (!plan.ok()) {
        m_dialogs.messageBox(plan.problem + QStringLiteral("\n\n何も変更していません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, BoxTitle);
        return;
    }
    if (!plan.entries.isEmpty()) {
        // The file is named from the shown record, never from text typed anywhere on the page.
        const QString title = m_state.titles.at(current).title;
        m_state.VolumeFilePath = mainpage::volumeFileName(title);
        const ChangeHistory::Result result = m_state.history.perform(
            std::make_unique<VolumeToggle>(m_state.changes, title, plan.entries, missing ? qint16(1) : qint16(0)));
        m_page.ReadVolumeFile();
        if (!result.error.isEmpty()) {
            m_dialogs.messageBox(result.error, Dialogs::OkOnly + Dialogs::Exclamation,
                                 QStringLiteral("保存できません"));
            return;
        }
        m_state.stale.StatusListStale = true;
        m_state.stale.UncollectedStale = true;
    }
    clear();
}
