#include "app/MainWindow.h"

#include "app/WindowKeys.h"

#include "editing/widgets/FieldEditor.h"
#include "editing/widgets/MemoPanel.h"
#include "editing/widgets/TitleCommands.h"
#include "gallery/widgets/CoverImportPanel.h"
#include "gallery/widgets/GalleryPanel.h"
#include "help/widgets/ChmHelpViewer.h"
#include "lists/widgets/SearchPanel.h"
#include "lists/widgets/SortPanel.h"
#include "lists/widgets/StatisticsPanel.h"
#include "lists/widgets/StatusListPanel.h"
#include "maintenance/widgets/MaintenancePanel.h"
#include "rankings/widgets/RankPanel.h"
#include "store/SelectionLists.h"
#include "ui/Artwork.h"
#include "ui/ButtonRow.h"
#include "ui/Dialogs.h"
#include "ui/MainPage.h"
#include "ui/Twips.h"
#include "ui/UndoActions.h"
#include "ui/logic/TourTexts.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <functional>

namespace {

// Client area of the window.
constexpr int WindowWidth = 11880;
constexpr int WindowHeight = 8475;
// The button row above the panels.
constexpr int RowHeight = 900;

} // namespace

MainWindow::MainWindow(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_state(std::make_unique<AppState>(QDir::currentPath())),
      m_helpViewer(std::make_unique<ChmHelpViewer>(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("タナミルＰｒｏ"));
    setFont(twips::uiFont());
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    central->setFixedSize(twips::toPixels(WindowWidth), twips::toPixels(WindowHeight));
    setCentralWidget(central);

    buildPanels();
    buildButtonRow();
    Form_Load();
    installSafeguards();
    new WindowKeys(*this);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::setHelpViewer(std::unique_ptr<HelpViewer> viewer)
{
    m_helpViewer = std::move(viewer);
}

void MainWindow::buildButtonRow()
{
    // The whole row in one table: every command button, left to right, and what a click on it does.
    struct Command {
        QString name;
        QString caption;
        QString tip;
        std::function<void()> handler;
    };
    const Command commands[] = {
        {"cmdMain", "メイン", "メイン画面を表示します", [this] { cmdMain_Click(); }},
        {"cmdNew", "新規", "コミックを新規に追加します", [this] { m_commands->cmdNew_Click(); }},
        {"cmdDel", "削除", "表示中のコミックを削除します", [this] { m_commands->cmdDel_Click(); }},
        {"cmdList", "収集", "収集状況を一覧表示します", [this] { m_fraList->cmdList_Click(); }},
        {"cmdHozon", "残巻", "未収集分のデータを出力します", [this] { m_fraList->cmdHozon_Click(); }},
        {"cmdIchiran", "並替え", "各種データを並び替え表示します", [this] { m_fraIchiran->cmdIchiran_Click(); }},
        {"cmdKensaku", "検索", "コミックの検索をすることができます", [this] { m_fraKensaku->cmdKensaku_Click(); }},
        {"cmdRank", "ランク", "各種データを並び替え表示します", [this] { m_fraRank->cmdRank_Click(); }},
        {"cmdPic", "画像", "コミックの画像を一覧表示します", [this] { m_fraPic->cmdPic_Click(); }},
        {"cmdMaster", "編集", "表示順変更や新規スタートが行えます", [this] { m_fraMaster->cmdMaster_Click(); }},
        {"cmdHelp", "ヘルプ", "ヘルプファイルを開きます", [this] { cmdHelp_Click(); }},
        {"cmdEnd", "終了", "プログラムを終了します", [this] { cmdEnd_Click(); }},
    };

    QWidget* client = centralWidget();
    const int count = int(std::size(commands)) + 1;
    const int width = (WindowWidth - 120) / count;
    int left = 60;
    for (const Command& command : commands) {
        auto* button = new IconButton(artwork::buttonIcon(command.name), command.caption, client);
        button->setObjectName(command.name);
        button->setToolTip(command.tip);
        button->setGeometry(twips::rect(left, 60, width - 30, RowHeight - 120));
        left += width;
        connect(button, &QPushButton::clicked, this, command.handler);
        if (command.name == QStringLiteral("cmdDel"))
            m_cmdDel = button;
    }

    m_chkHelp = new PictureCheckBox(artwork::helpTourIcon(), client);
    m_chkHelp->setObjectName(QStringLiteral("chkHelp"));
    m_chkHelp->setToolTip(QStringLiteral("ヘルプツアーのＯｎ／Ｏｆｆです"));
    m_chkHelp->setGeometry(twips::rect(left, 60, width - 30, RowHeight - 120));
    // Like the switch has always behaved, a change made by code runs the handler too; Loading keeps the
    // start-up from echoing the saved state back.
    connect(m_chkHelp, &QCheckBox::toggled, this, &MainWindow::chkHelp_Click);
}

void MainWindow::buildPanels()
{
    const QRect panelArea = twips::rect(0, RowHeight, WindowWidth, WindowHeight - RowHeight);
    m_fraMain = new MainPage(*m_state, m_dialogs, centralWidget());
    m_fraMain->setGeometry(panelArea);
    m_editor = new FieldEditor(*m_fraMain, *m_state, m_dialogs);
    m_fraMemo = new MemoPanel(*m_fraMain, *m_state, m_dialogs);
    m_fraMain->attachMemoPanel(m_fraMemo);
    connect(m_fraMain, &MainPage::memoShown, m_fraMemo, &MemoPanel::setMemo);
    connect(m_fraMemo, &MemoPanel::saved, m_fraMain, &MainPage::showMemoLabel);
    m_commands = new TitleCommands(*m_state, m_dialogs, *this, *m_fraMain, this);
    m_undo = new UndoActions(*this, *m_fraMain, *m_state, m_dialogs, *this);

    m_fraImport = new CoverImportPanel(*m_fraMain, *m_state, m_dialogs, *this);
    m_fraMain->attachCoverImportPanel(m_fraImport);

    // Every screen fills the area under the button row and starts hidden.
    const auto place = [&](QWidget* panel) {
        panel->setGeometry(panelArea);
        panel->hide();
    };
    place(m_fraList = new StatusListPanel(*m_state, m_dialogs, *this, centralWidget()));
    connect(m_fraList, &StatusListPanel::mainPageVolumesChanged, m_fraMain, &MainPage::ReadVolumeFile);
    place(m_fraIchiran = new SortPanel(*m_state, m_dialogs, *this, centralWidget()));
    connect(m_fraIchiran, &SortPanel::mainPageIndexRequested, m_fraMain, &MainPage::setCurrentIndex);
    place(m_fraKensaku = new SearchPanel(*m_state, m_dialogs, *this, centralWidget()));
    place(m_fraRank = new RankPanel(*m_state, m_dialogs, *this, centralWidget()));
    place(m_fraPic = new GalleryPanel(*m_state, m_dialogs, *this, centralWidget()));
    place(m_fraMaster = new MaintenancePanel(*m_state, m_dialogs, *this, centralWidget()));
    connect(m_fraMaster, &MaintenancePanel::mainPageIndexRequested, m_fraMain, &MainPage::setCurrentIndex);
}

void MainWindow::Form_Load()
{
    AppState& s = *m_state;
    s.HelpFile = QStringLiteral("HondexHelp.chm");
    s.Loading = true;
    m_fraMain->findChild<QFrame*>(QStringLiteral("fraPicget"))->hide();
    m_fraMain->clearFieldTexts();
    // A restore cut off by a crash is finished or rolled back before anything is read.
    m_restoreNote = s.backups.finishInterruptedRestore();
    m_loadProblem = LoadTitleTable();
    ReadSettings();
    m_chkHelp->setChecked(s.HelpTourOn != 0);
    s.stale.setAll();
    HidePanels();
    m_fraMain->show();
    m_cmdDel->setEnabled(true);
    s.CoverFolder = QDir::currentPath();
    // Title 1 is shown even when the scroll bar already stands at 1.
    if (m_fraMain->currentIndex() == 1)
        m_fraMain->ShowTitle();
    else
        m_fraMain->setCurrentIndex(1);
    m_fraMain->fillFixedLists();
    s.favourites = s.store.readRanking();
    s.Loading = false;
}

void MainWindow::setVisible(bool visible)
{
    QMainWindow::setVisible(visible);
    if (!visible || m_shownOnce)
        return;
    m_shownOnce = true;
    QCoreApplication::processEvents();
    if (!m_startNotice.isEmpty())
        m_dialogs.messageBox(m_startNotice, Dialogs::OkOnly + Dialogs::Information, QStringLiteral("タナミルＰｒｏ"));
    if (!m_restoreNote.isEmpty())
        m_dialogs.messageBox(m_restoreNote, Dialogs::OkOnly + Dialogs::Exclamation,
                             QStringLiteral("バックアップから戻す途中でした"));
    if (!m_loadProblem.isEmpty())
        m_dialogs.messageBox(m_loadProblem, Dialogs::OkOnly + Dialogs::Exclamation,
                             QStringLiteral("データファイルの異常"));
    m_state->TourText = tour::mainPageIntro();
    ShowTourMessage();
    m_state->TourText = tour::mainPageCovers();
    ShowTourMessage();
}

QString MainWindow::LoadTitleTable()
{
    CollectionStore::Load load = m_state->store.loadCollection();
    m_state->titles.replaceWith(std::move(load.table));
    refillTitleLists();
    return load.problem;
}

void MainWindow::refillTitleLists()
{
    // Most changes add, remove or reorder a few records: the sorted lists keep their order and take in only the
    // names that came or went.
    m_state->lists = updatedSelectionLists(m_state->lists, m_state->titles);
    m_fraMain->applySelectionLists();
    // The sort and search screens keep rows that point into the table; a changed table may hold its records in
    // another order, so they must reread it before they are next shown.
    m_state->stale.SortListStale = true;
    m_state->stale.SearchListStale = true;
}

void MainWindow::ReadSettings()
{
    m_state->HelpTourOn = m_state->store.readHelpTour();
}

void MainWindow::HidePanels()
{
    for (QWidget* panel :
         {static_cast<QWidget*>(m_fraMain), static_cast<QWidget*>(m_fraList), static_cast<QWidget*>(m_fraIchiran),
          static_cast<QWidget*>(m_fraKensaku), static_cast<QWidget*>(m_fraMaster), static_cast<QWidget*>(m_fraPic),
          static_cast<QWidget*>(m_fraRank)})
        panel->hide();
    if (m_fraToukei)
        m_fraToukei->hide();
    m_cmdDel->setEnabled(false);
}

void MainWindow::ShowTourMessage()
{
    if (m_state->HelpTourOn != 0)
        m_dialogs.messageBox(m_state->TourText, Dialogs::OkOnly + Dialogs::Information, tour::Title);
}

void MainWindow::cmdMain_Click()
{
    if (!m_fraMain->isHidden())
        return;
    // A picked index past the end (titles deleted or reordered since) leaves the page where it is.
    const int picked = m_state->PickedIndex;
    if (picked > 0 && picked <= m_state->titles.count())
        m_fraMain->setCurrentIndex(picked);
    HidePanels();
    m_fraMain->show();
    m_cmdDel->setEnabled(true);
}

void MainWindow::showMainPage(int index)
{
    HidePanels();
    if (index > 0)
        m_fraMain->setCurrentIndex(index);
    m_fraMain->show();
    m_cmdDel->setEnabled(true);
}

void MainWindow::cmdHelp_Click()
{
    if (!m_helpViewer)
        return;
    // Found like every other file of the folder, whatever the letter case of its name on disk.
    DataFolder& folder = m_state->store.folder();
    QString path = folder.existingPath(m_state->HelpFile);
    if (path.isEmpty()) {
        // The help file may have been copied in while the program runs.
        folder.rescan();
        path = folder.existingPath(m_state->HelpFile);
    }
    m_helpViewer->open(path.isEmpty() ? folder.path() + QLatin1Char('/') + m_state->HelpFile : path);
}

void MainWindow::refreshMainPage()
{
    m_fraMain->ShowTitle();
}

void MainWindow::showFavourites()
{
    if (m_fraRank->isHidden())
        m_fraRank->cmdRank_Click();
    else
        m_fraRank->refreshFavourites();
}

void MainWindow::showStatusList()
{
    m_fraMain->ReadVolumeFile();
    m_fraList->refreshCells();
}

void MainWindow::showStatistics()
{
    if (!m_fraToukei) {
        m_fraToukei = new StatisticsPanel(*m_state, m_dialogs, *this, *m_fraList, centralWidget());
        m_fraToukei->setGeometry(m_fraList->geometry());
        m_fraToukei->hide();
    }
    m_fraToukei->cmdToukei_Click();
}

void MainWindow::endProgram()
{
    cmdEnd_Click();
}

void MainWindow::cmdEnd_Click()
{
    if (m_helpViewer)
        m_helpViewer->closeAll();
    close();
    QCoreApplication::quit();
}

void MainWindow::chkHelp_Click()
{
    AppState& s = *m_state;
    if (s.Loading)
        return;
    const qint16 wanted = m_chkHelp->isChecked() ? 1 : 0;
    if (wanted == 1)
        m_dialogs.messageBox(tour::OnText, Dialogs::OkOnly + Dialogs::Information, tour::OnTitle);
    else
        m_dialogs.messageBox(tour::OffText, Dialogs::OkOnly + Dialogs::Information, tour::OffTitle);
    const QString error = s.store.writeHelpTour(wanted);
    if (!error.isEmpty()) {
        // The switch stays as the user set it for this run; say that it will not be remembered.
        m_dialogs.messageBox(error + QStringLiteral("\n\nこの設定は次回の起動時には引き継がれません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("保存できません"));
    }
    s.HelpTourOn = wanted;
}
