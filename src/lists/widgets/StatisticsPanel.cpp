#include "lists/widgets/StatisticsPanel.h"

#include "lists/StatisticsModel.h"
#include "lists/widgets/StatisticsCharts.h"
#include "lists/widgets/StatusListPanel.h"
#include "lists/widgets/SystemListPrinter.h"
#include "store/AtomicFileWriter.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"

#include <QChartView>
#include <QCheckBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>

namespace {

// Geometry in twips: the summary across the top, the charts' tabs at the left, the nearly complete series at
// the right, the buttons under the charts.
constexpr int Left = 150;
constexpr int TabsTop = 540;
constexpr int TabsWidth = 7650;
constexpr int TabsHeight = 6300;
constexpr int ListLeft = Left + TabsWidth + 150;
constexpr int ListWidth = 11565 - ListLeft;
constexpr int ButtonRowTop = TabsTop + TabsHeight + 105;

struct ChartPlace {
    const char* name;
    const char* table;
    const char* tab;
    const char* title;
};
const ChartPlace Charts[] = {
    {"chtYear", "tblYear", "発行年", "初刊の発行年ごとの冊数"},
    {"chtMagazine", "tblMagazine", "掲載誌", "掲載誌ごとの冊数（所持の多い順）"},
    {"chtRating", "tblRating", "評価", "評価ごとの作品数"},
    {"chtCompletion", "tblCompletion", "達成率", "所持率ごとの作品数"},
};

QTableView* makeTable(const char* name, QStandardItemModel* model, const QString& title)
{
    auto* table = new QTableView;
    table->setObjectName(QString::fromLatin1(name));
    table->setModel(model);
    table->setAccessibleName(title);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    // The columns share the table's width, so that the numbers are always in sight.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setMinimumSectionSize(table->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

} // namespace

StatisticsPanel::StatisticsPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, StatusListPanel& statusList,
                                 QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_statusList(statusList),
      m_printer(std::make_unique<SystemListPrinter>()), m_writer(std::make_unique<AtomicFileWriter>())
{
    setObjectName(QStringLiteral("fraToukei"));
    setFont(twips::uiFont());
    buildControls();
}

StatisticsPanel::~StatisticsPanel() = default;

void StatisticsPanel::setPrinter(std::unique_ptr<ListPrinter> printer)
{
    m_printer = std::move(printer);
}

void StatisticsPanel::setFileWriter(std::unique_ptr<FileWriter> writer)
{
    m_writer = std::move(writer);
}

void StatisticsPanel::buildControls()
{
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblToukeiSummary"));
    m_summary->setFont(twips::uiFont(10));
    m_summary->setGeometry(twips::rect(Left, 120, 11415, 360));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_summary->setFocusPolicy(Qt::StrongFocus);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabToukei"));
    m_tabs->setGeometry(twips::rect(Left, TabsTop, TabsWidth, TabsHeight));
    for (size_t i = 0; i < std::size(Charts); ++i) {
        const ChartPlace& place = Charts[i];
        auto* page = new QStackedWidget;
        page->setContentsMargins(4, 4, 4, 4);
        m_charts[i] = statcharts::makeView(QString::fromLatin1(place.name), QString::fromUtf8(place.title));
        m_tables[i] = new QStandardItemModel(this);
        QTableView* table = makeTable(place.table, m_tables[i], QString::fromUtf8(place.title));
        page->addWidget(m_charts[i]);
        page->addWidget(table);
        m_pages[i] = page;
        m_tabs->addTab(page, QString::fromUtf8(place.tab));
    }

    auto* heading = new QLabel(QStringLiteral("あと少しで全巻"), this);
    heading->setObjectName(QStringLiteral("lblAtoSukoshi"));
    QFont bold = twips::uiFont(12);
    bold.setBold(true);
    heading->setFont(bold);
    heading->setGeometry(twips::rect(ListLeft, TabsTop, ListWidth, 330));
    m_almostModel = new AlmostListModel(this);
    m_almostView = new QListView(this);
    m_almostView->setObjectName(QStringLiteral("lstAtoSukoshi"));
    m_almostView->setAccessibleName(heading->text());
    m_almostView->setModel(m_almostModel);
    m_almostView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of one line each: the view lays out thousands of them without measuring every one.
    m_almostView->setUniformItemSizes(true);
    m_almostView->setToolTip(QStringLiteral("Enter またはダブルクリックでメイン画面に表示します"));
    m_almostView->setGeometry(twips::rect(ListLeft, TabsTop + 360, ListWidth, TabsHeight - 360));
    m_almostView->installEventFilter(this);
    heading->setBuddy(m_almostView);
    connect(m_almostView, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { lstAtoSukoshi_DblClick(index.row() + 1); });

    const struct {
        const char* name;
        const char* caption;
        const char* tip;
        void (StatisticsPanel::*handler)();
    } buttons[] = {
        {"cmdToukeiPng", "PNGで保存", "表示中のグラフを PNG 画像で保存します", &StatisticsPanel::cmdToukeiPng_Click},
        {"cmdToukeiSvg", "SVGで保存", "表示中のグラフを SVG 画像で保存します", &StatisticsPanel::cmdToukeiSvg_Click},
        {"cmdToukeiPrint", "印刷", "表示中のグラフを印刷します", &StatisticsPanel::cmdToukeiPrint_Click},
    };
    int left = Left;
    for (const auto& entry : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(entry.caption), this);
        button->setObjectName(QString::fromLatin1(entry.name));
        button->setToolTip(QString::fromUtf8(entry.tip));
        button->setGeometry(twips::rect(left, ButtonRowTop, 1800, 465));
        connect(button, &QPushButton::clicked, this, entry.handler);
        left += 1950;
    }
    // Each chart's numbers as a table, for those who would rather read them, and for screen readers.
    auto* asTables = new QCheckBox(QStringLiteral("表で表示"), this);
    asTables->setObjectName(QStringLiteral("chkToukeiTable"));
    asTables->setGeometry(twips::rect(left + 150, ButtonRowTop, Left + TabsWidth - left - 150, 465));
    connect(asTables, &QCheckBox::toggled, this, [this](bool on) {
        for (QStackedWidget* page : m_pages)
            page->setCurrentIndex(on ? 1 : 0);
    });
}

void StatisticsPanel::cmdToukei_Click()
{
    if (!isHidden())
        return;
    m_host.HidePanels();
    show();
    recount();
}

void StatisticsPanel::recount()
{
    const WaitCursor wait;
    statistics::Counts counts = statistics::count(m_state.titles, m_statusList.currentRows());
    if (m_counted && counts == m_counts)
        return;
    m_counts = std::move(counts);
    m_counted = true;
    showCounts();
}

void StatisticsPanel::showCounts()
{
    m_summary->setText(statistics::summaryText(m_counts.totals));
    statcharts::showStacked(*m_charts[0], m_counts.years, false);
    statcharts::fillStackedTable(*m_tables[0], m_counts.years);
    statcharts::showStacked(*m_charts[1], m_counts.magazines, true);
    statcharts::fillStackedTable(*m_tables[1], m_counts.magazines);
    statcharts::showCounts(*m_charts[2], m_counts.ratings);
    statcharts::fillCountTable(*m_tables[2], m_counts.ratings);
    QList<statistics::Bar> bands;
    const QStringList labels = statistics::completionLabels();
    for (int i = 0; i < statistics::CompletionBands; ++i)
        bands.append({labels[i], m_counts.completion[size_t(i)], 0});
    statcharts::showCounts(*m_charts[3], bands);
    statcharts::fillCountTable(*m_tables[3], bands);

    m_almostModel->setRows(m_counts.almost);
    if (!m_counts.almost.isEmpty())
        m_almostView->setCurrentIndex(m_almostModel->index(0));
}

void StatisticsPanel::lstAtoSukoshi_DblClick(int row)
{
    if (row < 1 || row > m_counts.almost.size())
        return;
    const int index = m_counts.almost.at(row - 1).index;
    // The list may have been counted before titles were removed; such a row leads nowhere.
    if (!m_state.titles.isValidIndex(index))
        return;
    m_state.PickedIndex = qint16(index);
    m_host.showMainPage(index);
}

bool StatisticsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_almostView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_almostView->currentIndex().isValid()) {
            lstAtoSukoshi_DblClick(m_almostView->currentIndex().row() + 1);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

QChartView& StatisticsPanel::currentChart() const
{
    return *m_charts[size_t(std::clamp(m_tabs->currentIndex(), 0, int(m_charts.size()) - 1))];
}

void StatisticsPanel::save(const QString& kind, const QString& suffix, const QByteArray& bytes)
{
    const QString suggested = QStringLiteral("統計_%1.%2").arg(m_tabs->tabText(m_tabs->currentIndex()), suffix);
    QString path = m_dialogs.saveFileName(QStringLiteral("グラフを%1で保存").arg(kind), suggested,
                                          QStringLiteral("%1画像 (*.%2)").arg(kind, suffix));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    QString error;
    {
        const WaitCursor wait;
        error = m_writer->writeAtomically(path, bytes);
    }
    if (!error.isEmpty())
        m_dialogs.messageBox(error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
}

void StatisticsPanel::cmdToukeiPng_Click()
{
    save(QStringLiteral("PNG"), QStringLiteral("png"), statcharts::png(currentChart()));
}

void StatisticsPanel::cmdToukeiSvg_Click()
{
    save(QStringLiteral("SVG"), QStringLiteral("svg"), statcharts::svg(currentChart()));
}

void StatisticsPanel::cmdToukeiPrint_Click()
{
    QChartView& chart = currentChart();
    const QString summary = m_summary->text();
    QString problem;
    {
        const WaitCursor wait;
        problem = m_printer->printPages([&](QPainter& painter, const QRect& page, qreal, const std::function<bool()>&) {
            const int line = painter.fontMetrics().height();
            painter.drawText(QRect(page.left(), page.top(), page.width(), line), Qt::AlignLeft, summary);
            statcharts::paint(chart, painter, QRectF(page.adjusted(0, 2 * line, 0, 0)));
            return true;
        });
    }
    if (!problem.isEmpty())
        m_dialogs.messageBox(problem, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("印刷できません"));
}
