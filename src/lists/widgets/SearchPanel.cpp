#include "lists/widgets/SearchPanel.h"

#include "lists/RowRecord.h"
#include "lists/SearchModel.h"
#include "ui/KeyHelpers.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/TourTexts.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>

namespace {

QListView* newListView(const char* name, QWidget* parent)
{
    auto* view = new QListView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setUniformItemSizes(true);
    return view;
}

} // namespace

SearchPanel::SearchPanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_results(new SearchResultModel(this)),
      m_authors(new QStringListModel(this)), m_magazines(new QStringListModel(this)),
      m_ratings(new QStringListModel(this))
{
    setObjectName(QStringLiteral("fraKensaku"));
    setFont(twips::uiFont());
    buildControls();
    hide();
}

SearchPanel::~SearchPanel() = default;

void SearchPanel::buildControls()
{
    m_fraKensu = new QGroupBox(search::countCaption(0), this);
    m_fraKensu->setObjectName(QStringLiteral("fraKensu"));
    m_fraKensu->setGeometry(twips::rect(150, 225, 5655, 7200));
    m_lstDaimei = newListView("lstDaimei", m_fraKensu);
    m_lstDaimei->setModel(m_results);
    m_lstDaimei->setGeometry(twips::rect(120, 300, 5415, 6780));
    connect(m_lstDaimei, &QAbstractItemView::doubleClicked, this, &SearchPanel::lstDaimei_DblClick);
    keys::enterDoubleClicks(m_lstDaimei);

    m_fraKenKoumoku = new QGroupBox(QStringLiteral("検索項目"), this);
    m_fraKenKoumoku->setObjectName(QStringLiteral("fraKenKoumoku"));
    m_fraKenKoumoku->setGeometry(twips::rect(5955, 225, 5775, 7200));

    auto* keyLabel = new QLabel(QStringLiteral("題名キー"), m_fraKenKoumoku);
    keyLabel->setObjectName(QStringLiteral("lblNamae"));
    keyLabel->setGeometry(twips::rect(180, 390, 1080, 270));
    m_txtNamae = new QLineEdit(m_fraKenKoumoku);
    m_txtNamae->setObjectName(QStringLiteral("txtNamae"));
    m_txtNamae->setGeometry(twips::rect(1260, 330, 4335, 360));
    m_txtNamae->installEventFilter(this);

    m_lstSakusya = addList("lstSakusya", "著者", m_authors, 180, 900, 2700, 6120, &SearchPanel::lstSakusya_Click);
    m_lstKeisai = addList("lstKeisai", "掲載雑誌", m_magazines, 2985, 900, 2610, 4620, &SearchPanel::lstKeisai_Click);
    m_lstHyouka = addList("lstHyouka", "評価", m_ratings, 2985, 5640, 2610, 1380, &SearchPanel::lstHyouka_Click);
}

QListView* SearchPanel::addList(const char* name, const char* label, QStringListModel* model, int left, int top,
                                int width, int height, void (SearchPanel::*handler)())
{
    constexpr int LabelHeight = 270;
    auto* caption = new QLabel(QString::fromUtf8(label), m_fraKenKoumoku);
    caption->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(name + 3));
    caption->setGeometry(twips::rect(left, top, width, LabelHeight));
    QListView* view = newListView(name, m_fraKenKoumoku);
    view->setModel(model);
    view->setGeometry(twips::rect(left, top + LabelHeight, width, height - LabelHeight));
    // A list box reports every entry the user chooses, by mouse or arrow key, and a click on the entry it holds.
    // Focus alone chooses nothing: tabbing into the list moves its current row without selecting it.
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, handler] {
        m_entryMoved = true;
        (this->*handler)();
    });
    connect(view, &QAbstractItemView::clicked, this, [this, handler] {
        if (!m_entryMoved)
            (this->*handler)();
    });
    view->viewport()->installEventFilter(this);
    return view;
}

const search::Results& SearchPanel::results() const
{
    return m_results->results();
}

QString SearchPanel::countCaption() const
{
    return m_fraKensu->title();
}

void SearchPanel::showResults(search::Results results)
{
    const qsizetype count = results.size();
    m_results->setResults(std::move(results));
    m_fraKensu->setTitle(search::countCaption(count));
}

void SearchPanel::cmdKensaku_Click()
{
    if (!isHidden())
        return;
    m_host.HidePanels();
    show();
    letWindowRepaint();
    if (!m_state.stale.SearchListStale)
        return;

    showResults(search::all(m_state.titles));
    // The author and magazine lists are kept in collation order, as the sorted lists show them.
    m_authors->setStringList(m_state.lists.authors);
    m_magazines->setStringList(m_state.lists.magazines);
    m_ratings->setStringList(search::Ratings);
    letWindowRepaint();

    m_state.TourText = tour::searchScreen();
    m_host.ShowTourMessage();
    m_state.stale.SearchListStale = false;
}

void SearchPanel::txtNamae_KeyPress(qint16& keyAscii)
{
    if (keyAscii != 13 || m_txtNamae->text().isEmpty())
        return;
    keyAscii = 0;
    showResults(search::byKeyword(m_state.titles, m_txtNamae->text()));
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Seen before the list handles the press.
    if (event->type() == QEvent::MouseButtonPress && watched != m_txtNamae)
        m_entryMoved = false;
    if (watched == m_txtNamae && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            qint16 keyAscii = 13;
            txtNamae_KeyPress(keyAscii);
            if (keyAscii == 0)
                return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void SearchPanel::searchList(QListView* list, search::Field field)
{
    const QModelIndexList chosen = list->selectionModel()->selectedIndexes();
    if (chosen.isEmpty())
        return;
    showResults(search::byField(m_state.titles, field, chosen.first().data(Qt::DisplayRole).toString()));
}

void SearchPanel::lstSakusya_Click()
{
    searchList(m_lstSakusya, search::Field::Author);
}

void SearchPanel::lstKeisai_Click()
{
    searchList(m_lstKeisai, search::Field::Magazine);
}

void SearchPanel::lstHyouka_Click()
{
    searchList(m_lstHyouka, search::Field::Rating);
}

void SearchPanel::lstDaimei_DblClick()
{
    const QModelIndex current = m_lstDaimei->currentIndex();
    if (!current.isValid())
        return;
    const search::Results& shown = m_results->results();
    const int row = current.row();
    if (const int found = listrow::recordOf(m_state.titles, shown.titles.at(row), shown.records.at(row)))
        m_state.PickedIndex = qint16(found);
    if (!m_state.titles.isValidIndex(m_state.PickedIndex))
        return;
    m_host.showMainPage(m_state.PickedIndex);
    letWindowRepaint();
}
