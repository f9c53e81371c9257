#include "history/ChangeHistory.h"

#include "store/CollectionStore.h"

namespace {

const QString UndoVerb = QStringLiteral("元に戻す");
const QString RedoVerb = QStringLiteral("やり直す");

QString withStep(const QString& verb, const QString& step)
{
    return step.isEmpty() ? verb : verb + QStringLiteral("：") + step;
}

} // namespace

ChangeHistory::ChangeHistory()
{
    m_stack.setUndoLimit(StepLimit);
}

Change* ChangeHistory::stepAt(int index)
{
    // Only Change objects are ever pushed.
    return static_cast<Change*>(const_cast<QUndoCommand*>(m_stack.command(index)));
}

ChangeHistory::Result ChangeHistory::perform(std::unique_ptr<Change> change)
{
    Result result;
    result.error = change->applySealed(true);
    if (!result.error.isEmpty())
        return result;
    result.notice = change->notice();
    result.outcome = change->outcome(true);
    if (change->changedNothing())
        return result;
    m_stack.push(change.release());
    keepWithinBytes();
    return result;
}

QString ChangeHistory::dropChanged(bool forward)
{
    const auto next = [&]() -> Change* {
        if (forward ? !m_stack.canRedo() : !m_stack.canUndo())
            return nullptr;
        return stepAt(forward ? m_stack.index() : m_stack.index() - 1);
    };
    Change* step = next();
    QHash<QString, Seal> seals;
    const QString file = step ? step->changedFile(&seals) : QString();
    if (file.isEmpty())
        return {};
    const QString text = step->text();
    CollectionStore& store = step->store();
    int dropped = 0;
    // Steps of the same files are dropped together: each would be refused in turn for the same change.
    do {
        // An obsolete step is deleted by the stack as it moves over it.
        step->setObsolete(true);
        forward ? m_stack.redo() : m_stack.undo();
        ++dropped;
        step = next();
    } while (step && !step->changedFile(&seals).isEmpty());
    // The window reads the files again, so that it shows what the other program left.
    store.noticeOutsideChange(file);
    QString message = QStringLiteral("「%1」は、この操作のあとでほかのプログラムなどにより変更されています。\n"
                                     "%2を%3とその変更を消してしまうため、この操作は取り消しの記録から外しました。")
                          .arg(file, text, forward ? RedoVerb : UndoVerb);
    if (dropped > 1)
        message += QStringLiteral("\n同じ理由で、ほかに%1件の操作も外しました。").arg(dropped - 1);
    return message;
}

ChangeHistory::Result ChangeHistory::undo()
{
    Result result;
    if (!m_stack.canUndo())
        return result;
    if (result.error = dropChanged(false); !result.error.isEmpty()) {
        result.dropped = true;
        return result;
    }
    Change* step = stepAt(m_stack.index() - 1);
    result.error = step->applySealed(false);
    if (!result.error.isEmpty())
        return result;
    result.notice = step->undoNotice();
    result.outcome = step->outcome(false);
    m_stack.undo();
    return result;
}

ChangeHistory::Result ChangeHistory::redo()
{
    Result result;
    if (!m_stack.canRedo())
        return result;
    if (result.error = dropChanged(true); !result.error.isEmpty()) {
        result.dropped = true;
        return result;
    }
    Change* step = stepAt(m_stack.index());
    result.error = step->applySealed(true);
    if (!result.error.isEmpty())
        return result;
    result.notice = step->notice();
    result.outcome = step->outcome(true);
    m_stack.redo();
    return result;
}

qsizetype ChangeHistory::heldBytes() const
{
    qsizetype bytes = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        bytes += static_cast<const Change*>(m_stack.command(i))->heldBytes();
    return bytes;
}

void ChangeHistory::keepWithinBytes()
{
    qsizetype bytes = heldBytes();
    int drop = 0;
    // Called right after a push: every step is on the undo side, the newest last.
    while (bytes > ByteLimit && drop < m_stack.count() - 1) {
        bytes -= static_cast<const Change*>(m_stack.command(drop))->heldBytes();
        ++drop;
    }
    if (drop == 0)
        return;
    for (int i = 0; i < drop; ++i)
        stepAt(i)->setObsolete(true);
    // The stack deletes obsolete steps as it moves over them; the steps' own undo and redo do nothing.
    const int index = m_stack.index();
    m_stack.setIndex(0);
    m_stack.setIndex(index - drop);
}

QString ChangeHistory::undoText() const
{
    return withStep(UndoVerb, m_stack.canUndo() ? m_stack.undoText() : QString());
}

QString ChangeHistory::redoText() const
{
    return withStep(RedoVerb, m_stack.canRedo() ? m_stack.redoText() : QString());
}
