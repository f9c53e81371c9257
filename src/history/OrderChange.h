#pragma once

#include "history/Change.h"

#include <QList>

// The collection put in another order (the display order, or the sort screen's order made the main order): the
// collection file rewritten in the new order or the old. The step keeps the order, not the records.
class OrderChange final : public Change {
public:
    // from[k] is the index in the title table of the record that goes to place k + 1: every record exactly once,
    // or the step refuses to apply.
    OrderChange(ChangeData& data, QList<int> from, const QString& what);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    qsizetype heldBytes() const override;

private:
    // m_from[k] is the index before the change of the record at index k + 1 after it.
    QList<int> m_from;
    FileBytes m_fileBefore;
};
