#pragma once

#include "history/Change.h"

// The favourite ranking saved in a new order: the ranking file as it was and as saved, and the favourites in
// memory following it.
class RankingSave final : public Change {
public:
    RankingSave(ChangeData& data, const QStringList& titles);

    QString apply(bool forward) override;
    ChangeOutcome outcome(bool forward) const override;
    qsizetype heldBytes() const override;

private:
    QStringList m_titles;
    bool m_made = false;
    FileBytes m_before;
    FileBytes m_after;
};
