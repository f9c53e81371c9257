#include "ui/UndoActions.h"

#include "history/ChangeHistory.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/ScreenHost.h"
#include "ui/logic/AppState.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

// A text field holds typing of its own that its own undo takes back: typed into since its text was last set
// or stored.
bool isBeingEdited(const QObject* object)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(object))
        return !edit->isReadOnly() && edit->isModified();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(object))
        return !edit->isReadOnly() && edit->document()->isModified();
    if (const auto* edit = qobject_cast<const QTextEdit*>(object))
        return !edit->isReadOnly() && edit->document()->isModified();
    return false;
}

} // namespace

UndoActions::UndoActions(QWidget& window, MainPage& page, AppState& state, Dialogs& dialogs, ScreenHost& host)
    : QObject(&window), m_window(window), m_page(page), m_state(state), m_dialogs(dialogs), m_host(host),
      m_actUndo(new QAction(&window)), m_actRedo(new QAction(&window))
{
    m_actUndo->setObjectName(QStringLiteral("actUndo"));
    m_actUndo->setShortcuts(QKeySequence::Undo);
    m_actRedo->setObjectName(QStringLiteral("actRedo"));
    // Ctrl+Y and Ctrl+Shift+Z alike, whatever the desktop's own list holds.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)})
        if (!redoKeys.contains(key))
            redoKeys << key;
    m_actRedo->setShortcuts(redoKeys);
    for (QAction* action : {m_actUndo, m_actRedo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        page.addAction(action);
    }
    page.setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_actUndo, &QAction::triggered, this, &UndoActions::actUndo_Triggered);
    connect(m_actRedo, &QAction::triggered, this, &UndoActions::actRedo_Triggered);

    QUndoStack& stack = state.history.stack();
    connect(&stack, &QUndoStack::indexChanged, this, &UndoActions::updateActions);
    connect(&stack, &QUndoStack::canUndoChanged, this, &UndoActions::updateActions);
    connect(&stack, &QUndoStack::canRedoChanged, this, &UndoActions::updateActions);
    updateActions();
    qApp->installEventFilter(this);
}

bool UndoActions::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool undoKey = key->matches(QKeySequence::Undo);
    const bool redoKey = m_actRedo->shortcuts().contains(QKeySequence(key->keyCombination()));
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if ((!undoKey && !redoKey) || !widget || widget->window() != &m_window || isBeingEdited(watched))
        return false;
    // Left unaccepted, the key goes to the window's shortcut instead of the field's own undo.
    event->ignore();
    return true;
}

void UndoActions::updateActions()
{
    const ChangeHistory& history = m_state.history;
    m_actUndo->setText(history.undoText());
    m_actUndo->setEnabled(history.canUndo());
    m_actRedo->setText(history.redoText());
    m_actRedo->setEnabled(history.canRedo());
}

void UndoActions::actUndo_Triggered()
{
    if (!m_state.history.canUndo())
        return;
    const ChangeHistory::Result result = m_state.history.undo();
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error + QStringLiteral("\n\n元に戻していません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("元に戻せません"));
        return;
    }
    show(result.outcome);
    if (!result.notice.isEmpty())
        m_dialogs.messageBox(result.notice, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("削除できません"));
}

void UndoActions::actRedo_Triggered()
{
    if (!m_state.history.canRedo())
        return;
    const ChangeHistory::Result result = m_state.history.redo();
    if (!result.error.isEmpty()) {
        m_dialogs.messageBox(result.error + QStringLiteral("\n\nやり直していません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("やり直せません"));
        return;
    }
    show(result.outcome);
    if (!result.notice.isEmpty())
        m_dialogs.messageBox(result.notice, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
}

void UndoActions::show(const ChangeOutcome& outcome)
{
    // The step left the table in memory as it left the file; another program's change to the file, if the
    // step noticed one, has the window read the files again once the step is over.
    if (outcome.reload)
        m_host.refillTitleLists();
    StaleFlags& stale = m_state.stale;
    stale.StatusListStale |= (outcome.stale & ChangeOutcome::StatusList) != 0;
    stale.StatusGridStale |= (outcome.stale & ChangeOutcome::StatusGrid) != 0;
    stale.UncollectedStale |= (outcome.stale & ChangeOutcome::Uncollected) != 0;
    stale.SortListStale |= (outcome.stale & ChangeOutcome::SortList) != 0;
    stale.SearchListStale |= (outcome.stale & ChangeOutcome::SearchList) != 0;
    m_state.GalleryStale |= (outcome.stale & ChangeOutcome::Gallery) != 0;
    if (outcome.stale & ChangeOutcome::GalleryOrder)
        m_state.GalleryBuilt = false;

    if (outcome.screen == ChangeOutcome::Screen::Favourites) {
        m_host.showFavourites();
        return;
    }
    if (outcome.screen == ChangeOutcome::Screen::StatusList) {
        m_host.showStatusList();
        return;
    }
    if (m_state.titles.isEmpty()) {
        m_host.showMainPage(0);
        m_page.showEmptyCollection();
        return;
    }
    const int index = std::clamp(outcome.index, 1, m_state.titles.count());
    // A page already at the index is shown afresh; another one follows the scroll bar.
    if (m_page.currentIndex() == index)
        m_page.ShowTitle();
    m_host.showMainPage(index);
}
