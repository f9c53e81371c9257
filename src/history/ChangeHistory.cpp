#include "history/ChangeHistory.h"

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
    result.error = change->apply(true);
    if (!result.error.isEmpty())
        return result;
    result.notice = change->notice();
    result.outcome = change->outcome(true);
    m_stack.push(change.release());
    return result;
}

ChangeHistory::Result ChangeHistory::undo()
{
    Result result;
    if (!m_stack.canUndo())
        return result;
    Change* step = stepAt(m_stack.index() - 1);
    result.error = step->apply(false);
    if (!result.error.isEmpty())
        return result;
    result.outcome = step->outcome(false);
    m_stack.undo();
    return result;
}

ChangeHistory::Result ChangeHistory::redo()
{
    Result result;
    if (!m_stack.canRedo())
        return result;
    Change* step = stepAt(m_stack.index());
    result.error = step->apply(true);
    if (!result.error.isEmpty())
        return result;
    result.notice = step->notice();
    result.outcome = step->outcome(true);
    m_stack.redo();
    return result;
}

QString ChangeHistory::undoText() const
{
    return withStep(UndoVerb, m_stack.canUndo() ? m_stack.undoText() : QString());
}

QString ChangeHistory::redoText() const
{
    return withStep(RedoVerb, m_stack.canRedo() ? m_stack.redoText() : QString());
}
