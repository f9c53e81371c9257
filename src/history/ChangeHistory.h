#pragma once

#include "history/Change.h"

#include <QString>
#include <QUndoStack>
#include <memory>

// The steps of this run that can be undone and redone, newest last, on one undo stack. Every change to the
// collection is made through perform(), so that the stack always knows the state of the files.
class ChangeHistory final {
public:
    // At most this many steps are kept, and the files they keep to put back hold at most ByteLimit bytes in
    // all; the oldest steps drop off first, the newest always stays.
    static constexpr int StepLimit = 500;
    static constexpr qsizetype ByteLimit = qsizetype(64) * 1024 * 1024;

    ChangeHistory();

    struct Result {
        QString error;  // empty on success; then nothing was written and the stack did not move
        QString notice; // the change was made, but the user should know this
        ChangeOutcome outcome;
        // The step (and any others beneath it alike) was dropped: a file it wrote was changed by other means.
        bool dropped = false;
    };

    // Makes the change; when its files are written it becomes the step that undo() takes back.
    Result perform(std::unique_ptr<Change> change);
    // A step whose files were changed since by other means is not applied: it is dropped, with every step
    // next to it that is in the same case, and error says so.
    Result undo();
    Result redo();
    // Forgets every step, when the collection was replaced by means that are not steps.
    void clear() { m_stack.clear(); }

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // "元に戻す：「題名」の３巻" and "やり直す：…", or the bare verb when there is no such step.
    QString undoText() const;
    QString redoText() const;
    // Bytes the kept steps hold.
    qsizetype heldBytes() const;

    QUndoStack& stack() { return m_stack; }
    const QUndoStack& stack() const { return m_stack; }

private:
    Change* stepAt(int index);
    // Drops the step forward would apply next while its files were changed since; the message, or empty.
    QString dropChanged(bool forward);
    void keepWithinBytes();

    QUndoStack m_stack;
};
