#pragma once

#include "lists/Statistics.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QChartView;
class QPainter;
class QRectF;
class QStandardItemModel;

// The statistics screen's charts and their tables of numbers, and the chart as a picture or on paper. A stacked
// chart has two bar sets, "所持" (owned) then "未所持" (missing); a count chart has one, "作品数". Bars follow the
// order of the counts, the first at the left (or, lying down, at the top).
namespace statcharts {

inline const QString OwnedSet = QStringLiteral("所持");
inline const QString MissingSet = QStringLiteral("未所持");
inline const QString CountSet = QStringLiteral("作品数");

QChartView* makeView(const QString& objectName, const QString& title);
// Replaces what the view shows by bars of owned and missing volumes, standing or (horizontal) lying down.
void showStacked(QChartView& view, const QList<statistics::Bar>& bars, bool horizontal);
// Replaces what the view shows by one bar per entry, its height the entry's owned.
void showCounts(QChartView& view, const QList<statistics::Bar>& bars);

// The same numbers as rows of a table: label, owned, missing (stacked) or label, count.
void fillStackedTable(QStandardItemModel& model, const QList<statistics::Bar>& bars);
void fillCountTable(QStandardItemModel& model, const QList<statistics::Bar>& bars);

// The chart drawn into target, its proportions kept, centred.
void paint(QChartView& view, QPainter& painter, const QRectF& target);
// The chart as PNG bytes at twice its size on screen, or as an SVG document.
QByteArray png(QChartView& view);
QByteArray svg(QChartView& view);

} // namespace statcharts
