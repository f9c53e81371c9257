#pragma once

#include "store/TitleTable.h"

#include <QAbstractListModel>
#include <QStringList>

// The favourite ranking as the list shows it: one title per row, the favourite on row 0. Nothing here is
// computed: the rows are exactly what the user arranged, entries of titles deleted since included.
class FavouriteListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setTitles(QStringList titles);
    const QStringList& titles() const { return m_titles; }

    // The drop of a drag: moves the entry on row from so that it stands directly above the entry on row target,
    // and returns the row it lands on. Dropping an entry on itself or on the entry just below it changes nothing
    // and returns -1, as does a row outside the list; an entry therefore never lands below the last one.
    int moveAbove(int from, int target);

private:
    QStringList m_titles;
};

namespace favourite {

// What a save writes, top to bottom: every entry that is the title of a record, a title listed twice twice;
// entries of titles that no longer exist are left out.
QStringList titlesToSave(const QStringList& entries, const TitleTable& table);
// A new ranking in the collection's order: every record's title.
QStringList titlesInTableOrder(const TitleTable& table);

} // namespace favourite
