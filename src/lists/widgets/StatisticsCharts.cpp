#include "lists/widgets/StatisticsCharts.h"

#include "ui/Twips.h"
#include "ui/logic/MainPageLogic.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QHorizontalStackedBarSeries>
#include <QImage>
#include <QPainter>
#include <QStackedBarSeries>
#include <QStandardItemModel>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>

namespace statcharts {

namespace {

// The pale fills of the volume labels, edged darker so that a bar stands out on white.
const QColor OwnedEdge = QColor(64, 144, 64);
const QColor MissingEdge = QColor(192, 96, 192);
// Every text of a chart in the window's own font and sizes, whose glyphs the window has already drawn: each other
// size would cost a glyph cache of its own.

QBarSet* makeSet(const QString& name, const QColor& fill, const QColor& edge)
{
    auto* set = new QBarSet(name);
    set->setBrush(fill);
    set->setPen(QPen(edge, 1));
    set->setLabelFont(twips::uiFont());
    return set;
}

// Empties the chart of its series and axes; the chart itself, its title and fonts stay.
void clear(QChart& chart)
{
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

QStringList labelsOf(const QList<statistics::Bar>& bars)
{
    QStringList labels;
    for (const statistics::Bar& bar : bars)
        labels << bar.label;
    return labels;
}

// Value axis from 0 to a round number at or above the highest bar, whole numbers only.
QValueAxis* valueAxis(qint64 highest)
{
    auto* axis = new QValueAxis;
    axis->setLabelFormat(QStringLiteral("%d"));
    axis->setLabelsFont(twips::uiFont());
    axis->setRange(0, double(std::max<qint64>(highest, 1)));
    axis->applyNiceNumbers();
    return axis;
}

QBarCategoryAxis* categoryAxis(const QStringList& labels)
{
    auto* axis = new QBarCategoryAxis;
    axis->append(labels);
    axis->setLabelsFont(twips::uiFont());
    axis->setTruncateLabels(false);
    return axis;
}

void attach(QChart& chart, QAbstractBarSeries* series, QAbstractAxis* across, QAbstractAxis* up)
{
    chart.addSeries(series);
    chart.addAxis(across, Qt::AlignBottom);
    chart.addAxis(up, Qt::AlignLeft);
    series->attachAxis(across);
    series->attachAxis(up);
}

QList<QStandardItem*> row(const QString& label, const QList<qint64>& numbers)
{
    QList<QStandardItem*> items{new QStandardItem(label)};
    for (qint64 number : numbers) {
        auto* item = new QStandardItem(QString::number(number));
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    for (QStandardItem* item : items)
        item->setEditable(false);
    return items;
}

} // namespace

QChartView* makeView(const QString& objectName, const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(twips::uiFont(10));
    chart->setFont(twips::uiFont());
    chart->legend()->setFont(twips::uiFont());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    auto* view = new QChartView(chart);
    view->setObjectName(objectName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(title);
    return view;
}

void showStacked(QChartView& view, const QList<statistics::Bar>& bars, bool horizontal)
{
    QChart& chart = *view.chart();
    clear(chart);
    // Lying bars are drawn from the bottom up; the first bar belongs at the top.
    QList<statistics::Bar> ordered = bars;
    if (horizontal)
        std::reverse(ordered.begin(), ordered.end());
    QBarSet* owned = makeSet(OwnedSet, mainpage::VolumeColorCollected, OwnedEdge);
    QBarSet* missing = makeSet(MissingSet, mainpage::VolumeColorMissing, MissingEdge);
    qint64 highest = 0;
    for (const statistics::Bar& bar : ordered) {
        owned->append(double(bar.owned));
        missing->append(double(bar.missing));
        highest = std::max(highest, bar.owned + bar.missing);
    }
    if (horizontal) {
        auto* series = new QHorizontalStackedBarSeries;
        series->append({owned, missing});
        attach(chart, series, valueAxis(highest), categoryAxis(labelsOf(ordered)));
    } else {
        auto* series = new QStackedBarSeries;
        series->append({owned, missing});
        // Standing bars may be many (one per year): their labels stand upright so that each can be read.
        QBarCategoryAxis* across = categoryAxis(labelsOf(ordered));
        across->setLabelsAngle(-90);
        attach(chart, series, across, valueAxis(highest));
    }
    chart.legend()->setVisible(true);
}

void showCounts(QChartView& view, const QList<statistics::Bar>& bars)
{
    QChart& chart = *view.chart();
    clear(chart);
    QBarSet* set = makeSet(CountSet, mainpage::VolumeColorCollected, OwnedEdge);
    qint64 highest = 0;
    for (const statistics::Bar& bar : bars) {
        set->append(double(bar.owned));
        highest = std::max(highest, bar.owned);
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    attach(chart, series, categoryAxis(labelsOf(bars)), valueAxis(highest));
    chart.legend()->setVisible(false);
}

void fillStackedTable(QStandardItemModel& model, const QList<statistics::Bar>& bars)
{
    model.clear();
    model.setHorizontalHeaderLabels({QString(), OwnedSet, MissingSet});
    for (const statistics::Bar& bar : bars)
        model.appendRow(row(bar.label, {bar.owned, bar.missing}));
}

void fillCountTable(QStandardItemModel& model, const QList<statistics::Bar>& bars)
{
    model.clear();
    model.setHorizontalHeaderLabels({QString(), CountSet});
    for (const statistics::Bar& bar : bars)
        model.appendRow(row(bar.label, {bar.owned}));
}

void paint(QChartView& view, QPainter& painter, const QRectF& target)
{
    const QRectF source = view.sceneRect();
    if (source.isEmpty())
        return;
    QSizeF size = source.size();
    size.scale(target.size(), Qt::KeepAspectRatio);
    QRectF place(QPointF(), size);
    place.moveCenter(target.center());
    view.scene()->render(&painter, place, source, Qt::KeepAspectRatio);
}

QByteArray png(QChartView& view)
{
    const QSize size = view.sceneRect().size().toSize();
    QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(view, painter, QRectF(QPointF(), QSizeF(image.size())));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray svg(QChartView& view)
{
    const QSize size = view.sceneRect().size().toSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(), size));
    generator.setTitle(view.chart()->title());
    {
        QPainter painter(&generator);
        paint(view, painter, QRectF(QPointF(), QSizeF(size)));
    }
    return bytes;
}

} // namespace statcharts
