#include "rankings/widgets/RankPanel.h"

#include "rankings/FavouriteList.h"
#include "rankings/RankingModel.h"
#include "rankings/widgets/RankList.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <array>

// The controls of fraRank and where they stand, in twips: four group boxes of a heading, a grid and its sort
// options, and the favourite list with its save button.

namespace {

QTableView* makeGrid(const QString& name, RankingModel* model, QRect geometry, QWidget* parent)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->setGeometry(geometry);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setFont(twips::uiFont(11));
    const int rowHeight = grid->fontMetrics().height() + 4;
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    QHeaderView* header = grid->horizontalHeader();
    header->setFont(grid->font());
    header->setFixedHeight(rowHeight);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(1);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignCenter);
    for (int c = 0; c < model->columns().size(); ++c)
        grid->setColumnWidth(c, twips::toPixels(model->columns().at(c).widthTwips));
    return grid;
}

QLabel* makeHeading(const QString& name, const QString& text, QRect geometry, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    QFont font = twips::uiFont(12);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

void RankPanel::buildControls()
{
    struct Option {
        const char* name;
        const char* caption;
        int left;
        void (RankPanel::*handler)();
    };
    struct Group {
        const char* box;
        QRect twipsRect; // left, top, width, height
        const char* heading;
        const char* headingText;
        int headingWidth;
        const char* grid;
        RankingModel* model;
        int gridWidth;
        std::array<Option, 3> options;
    };
    // clang-format off
    const Group groups[] = {
        {"fraRankSaku", {150, 300, 4140, 3390}, "lblSakuRank", "作者 ランキング", 3840, "msgSaku", m_sakuModel, 3870,
         {{{"optSaku1", "作品数順", 300, &RankPanel::optSaku1_Click},
           {"optSaku2", "冊数順", 1725, &RankPanel::optSaku2_Click},
           {"optSaku3", "名前順", 3000, &RankPanel::optSaku3_Click}}}},
        {"fraRankKei", {150, 3975, 4140, 3390}, "lblKeiRank", "掲載社 ランキング", 3840, "msgKei", m_keiModel, 3870,
         {{{"optKei1", "作品数順", 300, &RankPanel::optKei1_Click},
           {"optKei2", "冊数順", 1725, &RankPanel::optKei2_Click},
           {"optKei3", "名前順", 3000, &RankPanel::optKei3_Click}}}},
        {"fraRankKoukai", {4425, 300, 3480, 3390}, "lblKoukaiChg", "初刊発行年月", 3195,
         "msgMaster3", m_master3Model, 3210,
         {{{"optMaster31", "多い順", 300, &RankPanel::optMaster31_Click},
           {"optMaster33", "年順", 2400, &RankPanel::optMaster33_Click},
           {}}}},
        {"fraRankKansu", {4425, 3965, 3480, 3390}, "lblKansyouChg", "巻数ランキング", 3195,
         "msgMaster6", m_master6Model, 3210,
         {{{"optMaster61", "多い順", 300, &RankPanel::optMaster61_Click},
           {"optMaster63", "巻順", 2400, &RankPanel::optMaster63_Click},
           {}}}},
    };
    // clang-format on
    for (const Group& group : groups) {
        auto* box = new QGroupBox(this);
        box->setObjectName(QString::fromLatin1(group.box));
        const QRect& r = group.twipsRect;
        box->setGeometry(twips::rect(r.x(), r.y(), r.width(), r.height()));
        QLabel* heading = makeHeading(QString::fromLatin1(group.heading), QString::fromUtf8(group.headingText),
                                      twips::rect(150, 0, group.headingWidth, 390), box);
        QTableView* grid =
            makeGrid(QString::fromLatin1(group.grid), group.model, twips::rect(150, 375, group.gridWidth, 2500), box);
        for (const Option& option : group.options) {
            if (!option.name)
                continue;
            auto* button = new QRadioButton(QString::fromUtf8(option.caption), box);
            button->setObjectName(QString::fromLatin1(option.name));
            // As wide as its circle and caption, so that the whole button takes a click.
            const QRect place = twips::rect(option.left, 3000, 0, 300);
            button->setGeometry(place.x(), place.y(), button->sizeHint().width(), place.height());
            connect(button, &QRadioButton::toggled, this, [this, handler = option.handler](bool on) {
                if (on)
                    (this->*handler)();
            });
        }
        if (group.model == m_master3Model) {
            m_msgMaster3 = grid;
            m_lblKoukaiChg = heading;
        }
    }
    m_optSaku1 = findChild<QRadioButton*>(QStringLiteral("optSaku1"));
    m_optKei1 = findChild<QRadioButton*>(QStringLiteral("optKei1"));
    m_optMaster31 = findChild<QRadioButton*>(QStringLiteral("optMaster31"));
    m_optMaster61 = findChild<QRadioButton*>(QStringLiteral("optMaster61"));

    m_lblKoukaiChg->setToolTip(QStringLiteral("クリックすると年月と年を切り替えられます"));
    m_lblKoukaiChg->setCursor(Qt::PointingHandCursor);
    m_lblKoukaiChg->installEventFilter(this);

    makeHeading(QStringLiteral("lblOmoshiroRank"), QStringLiteral("おもしろランキング"),
                twips::rect(8025, 300, 3540, 390), this);
    m_lstRank = new RankList(this);
    m_lstRank->setModel(m_favourites);
    m_lstRank->setGeometry(twips::rect(8025, 750, 3540, 6135));
    connect(m_lstRank, &RankList::mouseDown, this, &RankPanel::lstRank_MouseDown);
    connect(m_lstRank, &RankList::mouseUp, this, &RankPanel::lstRank_MouseUp);

    m_cmdRankHozon = new QPushButton(QStringLiteral("ランキングの変更を保存する"), this);
    m_cmdRankHozon->setObjectName(QStringLiteral("cmdRankHozon"));
    m_cmdRankHozon->setGeometry(twips::rect(8025, 6900, 3540, 465));
    connect(m_cmdRankHozon, &QPushButton::clicked, this, &RankPanel::cmdRankHozon_Click);

    // The statistics screen's button stands in the free end of the favourite list's heading row.
    auto* toukei = new QPushButton(QStringLiteral("統計"), this);
    toukei->setObjectName(QStringLiteral("cmdToukei"));
    toukei->setToolTip(QStringLiteral("コレクションの統計をグラフで表示します"));
    toukei->setGeometry(twips::rect(10365, 270, 1200, 420));
    connect(toukei, &QPushButton::clicked, this, [this] { m_host.showStatistics(); });
}
