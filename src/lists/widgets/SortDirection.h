#pragma once

class QHeaderView;
class SortListModel;

// Shows, in header, the column and direction of model's last sort: the header's sort indicator, drawn as a small
// triangle at the right of that column's header. A fill, which puts the rows back in the collection's order,
// clears it; a click on a header section never moves it by itself, only a sort does.
void showSortDirection(QHeaderView& header, SortListModel& model);
