#pragma once

#include "history/Change.h"

#include <QString>
#include <QUndoStack>
#include <memory>

// The steps of this run that can be undone and redone, newest last, on one undo stack. Every change to the
// collection is made through perform(), so that the stack always knows the state of the files.
class ChangeHistory final {
public:
    // At least this many steps are kept; older ones drop off. A step keeps only what it changed.
    static constexpr int StepLimit = 500;

    ChangeHistory();

    struct Result {
        QString error;  // empty on success; then nothing was written and the stack did not move
        QString notice; // the change was made, but the user should know this
        ChangeOutcome outcome;
    };

    // Makes the change; when its files are written it becomes the step that undo() takes back.
    Result perform(std::unique_ptr<Change> change);
    Result undo();
    Result redo();
    // Forgets every step, when the collection was replaced by means that are not steps.
    void clear() { m_stack.clear(); }

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // "元に戻す：「題名」の３巻" and "やり直す：…", or the bare verb when there is no such step.
    QString undoText() const;
    QString redoText() const;

    QUndoStack& stack() { return m_stack; }
    const QUndoStack& stack() const { return m_stack; }

private:
    Change* stepAt(int index);

    QUndoStack m_stack;
};
