#pragma once

class QHeaderView;
class SortListModel;

// Shows, in header, the column and direction of model's last sort; a fill, which puts the rows back in the
// collection's order, clears the mark. A click on a header section never moves the mark by itself: only a sort
// does.
void showSortDirection(QHeaderView& header, SortListModel& model);
