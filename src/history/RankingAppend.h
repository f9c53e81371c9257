#pragma once

#include "history/Change.h"

#include <QStringList>

// New titles appended to the favourite ranking as part of a change, and exactly that taken back: the file as it
// was when nothing else changed it since, else the new titles taken out wherever they now stand.
class RankingAppend final {
public:
    // Appends titles to the ranking file; the favourites in memory follow when the file took them. Empty, or
    // why the file could not take them (the change itself stands all the same).
    QString append(ChangeData& data, const QStringList& titles);
    QString takeBack(ChangeData& data) const;
    // After the file was taken back: the favourites in memory lose the titles again.
    void takeBackFavourites(ChangeData& data) const;
    bool appended() const { return m_appended; }
    qsizetype heldBytes() const { return m_before ? m_before->size() : 0; }

private:
    QStringList m_titles;
    bool m_appended = false;
    bool m_existed = false;
    FileBytes m_before; // kept only when appending did more than add the lines at the end
};
