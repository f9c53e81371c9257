#include "maintenance/widgets/MaintenancePanel.h"

#include "maintenance/CollectionReset.h"
#include "maintenance/DisplayOrderModel.h"
#include "maintenance/FreeEditionImport.h"
#include "maintenance/widgets/BackupGroup.h"
#include "maintenance/widgets/FolderLists.h"
#include "maintenance/widgets/OrderListView.h"
#include "maintenance/widgets/SpreadsheetTools.h"
#include "ui/CollectionLock.h"
#include "ui/Dialogs.h"
#include "ui/DirectoryList.h"
#include "ui/MainOrder.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/UnsavedOrder.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/Safeguards.h"
#include "ui/logic/TourTexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

const QString RestartText = QStringLiteral("一旦プログラムを終了しますので再起動してください。");
// Volume files named in the closing box when some could not be taken over; the rest are counted.
constexpr int NamedFailures = 10;

QGroupBox* group(const QString& caption, const QRect& twipsRect, QWidget* parent)
{
    auto* box = new QGroupBox(caption, parent);
    box->setGeometry(twips::rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    return box;
}

QPushButton* button(const char* name, const QString& caption, const QRect& twipsRect, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(twips::rect(twipsRect.x(), twipsRect.y(), twipsRect.width(), twipsRect.height()));
    return b;
}

} // namespace

MaintenancePanel::MaintenancePanel(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_today([] { return QDate::currentDate(); }),
      m_order(new DisplayOrderModel(this))
{
    setObjectName(QStringLiteral("fraMaster"));
    setFont(twips::uiFont());
    buildControls();
    hide();
}

MaintenancePanel::~MaintenancePanel() = default;

void MaintenancePanel::setToday(std::function<QDate()> today)
{
    m_today = std::move(today);
    if (auto* spreadsheet = findChild<SpreadsheetTools*>())
        spreadsheet->setToday(m_today);
}

void MaintenancePanel::buildControls()
{
    QGroupBox* order = group(QStringLiteral("表示順位微調整"), {150, 120, 4650, 4155}, this);
    m_lstBicho = new OrderListView(order);
    m_lstBicho->setObjectName(QStringLiteral("lstBicho"));
    m_lstBicho->setModel(m_order);
    m_lstBicho->setGeometry(twips::rect(150, 330, 4350, 3030));
    connect(m_lstBicho, &OrderListView::mouseDown, this, &MaintenancePanel::lstBicho_MouseDown);
    connect(m_lstBicho, &OrderListView::mouseUp, this, &MaintenancePanel::lstBicho_MouseUp);
    m_cmdSortCng2 =
        button("cmdSortCng2", QStringLiteral("この順番でメインを並び替える"), {150, 3480, 4350, 495}, order);
    m_cmdSortCng2->setAutoFillBackground(true);
    connect(m_cmdSortCng2, &QPushButton::clicked, this, &MaintenancePanel::cmdSortCng2_Click);

    QGroupBox* reset = group(QStringLiteral("サンプルデータの初期化"), {4950, 120, 6780, 1335}, this);
    auto* cmdAllDel =
        button("cmdAllDel", QStringLiteral("登録されているコミックデータを削除する"), {300, 420, 6180, 660}, reset);
    connect(cmdAllDel, &QPushButton::clicked, this, &MaintenancePanel::cmdAllDel_Click);

    QGroupBox* takeOver = group(QStringLiteral("タナミルのデータ引継ぎ"), {4950, 1575, 6780, 4770}, this);
    const QString lines[] = {
        QStringLiteral("すでにフリーソフトのタナミルをお使いなら、そのデータを"),
        QStringLiteral("タナミルＰro に引き継げます。"),
        QStringLiteral("タナミルのフォルダをさがしてダブルクリックしてください。"),
        QStringLiteral("データの存在が確認できれば、下のボタンが押せます。"),
    };
    for (int i = 0; i < int(std::size(lines)); ++i) {
        auto* label = new QLabel(lines[i], takeOver);
        label->setObjectName(QStringLiteral("lblCom_%1").arg(i));
        label->setGeometry(twips::rect(300, 330 + i * 300, 6180, 270));
    }
    m_drvCom = new DriveList(takeOver);
    m_drvCom->setObjectName(QStringLiteral("drvCom"));
    m_drvCom->setGeometry(twips::rect(300, 1650, 6180, 330));
    m_dirCom = new DirectoryList(takeOver);
    m_dirCom->setObjectName(QStringLiteral("dirCom"));
    m_dirCom->setGeometry(twips::rect(300, 2070, 6180, 1650));
    m_cmdCmGetIn =
        button("cmdCmGetIn", QStringLiteral("タナミルからデータを受け取る"), {300, 3870, 6180, 660}, takeOver);
    m_cmdCmGetIn->setEnabled(false);

    // The lists start in the working folder; the button stays disabled until the user picks a folder.
    m_dirCom->openPath(m_state.CoverFolder);
    m_drvCom->refresh(m_dirCom->path());
    connect(m_drvCom, &QComboBox::activated, this, &MaintenancePanel::drvCom_Change);
    connect(m_dirCom, &DirectoryList::pathChanged, this, &MaintenancePanel::dirCom_Change);
    connect(m_cmdCmGetIn, &QPushButton::clicked, this, &MaintenancePanel::cmdCmGetIn_Click);

    m_backups = new BackupGroup(m_state, m_dialogs, m_host, this);
    m_backups->setGeometry(twips::rect(150, 4395, 4650, 3000));
    connect(m_backups, &BackupGroup::mainPageIndexRequested, this, &MaintenancePanel::mainPageIndexRequested);
    connect(m_backups, &BackupGroup::restored, this,
            [this] { m_order->setEntries(displayorder::fill(m_state.titles)); });

    auto* spreadsheet = new SpreadsheetTools(m_state, m_dialogs, m_host, this);
    spreadsheet->setGeometry(twips::rect(5250, 6720, 6180, 495));
    // Added titles join the display-order list at its end, as they join the collection; an order dragged but not
    // applied is given up, as reopening the panel gives it up.
    connect(spreadsheet, &SpreadsheetTools::imported, this, [this] {
        m_order->setEntries(displayorder::fill(m_state.titles));
        setOrderUnsaved(false);
    });
}

void MaintenancePanel::cmdMaster_Click()
{
    m_host.HidePanels();
    m_order->setEntries(displayorder::fill(m_state.titles));
    m_OrderDragIndex = -1;
    m_OrderDragTitle.clear();
    m_backups->refill();
    show();
    letWindowRepaint();
    m_state.TourText = tour::maintenance();
    m_host.ShowTourMessage();
}

void MaintenancePanel::lstBicho_MouseDown()
{
    const QModelIndex selected = m_lstBicho->currentIndex();
    // A press beside the entries starts no drag: it would move whichever entry was selected before.
    if (!m_lstBicho->pressedOnEntry() || !selected.isValid()) {
        m_OrderDragIndex = -1;
        m_OrderDragTitle.clear();
        return;
    }
    m_OrderDragIndex = selected.row();
    m_OrderDragTitle = m_order->entries().at(selected.row()).title;
}

void MaintenancePanel::lstBicho_MouseUp()
{
    const int from = m_OrderDragIndex;
    m_OrderDragIndex = -1;
    const QModelIndex target = m_lstBicho->currentIndex();
    if (from < 0 || !target.isValid())
        return;
    const int landed = m_order->moveEntry(from, target.row());
    if (landed < 0)
        return;
    m_lstBicho->setCurrentIndex(m_order->index(landed));
    setOrderUnsaved(true);
}

void MaintenancePanel::setOrderUnsaved(bool unsaved)
{
    m_orderUnsaved = unsaved;
    unsavedorder::mark(m_cmdSortCng2, unsaved);
}

void MaintenancePanel::cmdSortCng2_Click()
{
    const auto reorder = [this] { return displayorder::reorder(m_order->entries(), m_state.titles); };
    const auto written = [this](const recordorder::Result& order, const QString& problem) {
        // Entries that found no record, or records no entry stood for, were left out of or added to the order:
        // the list shows the collection as it now is.
        if (order.oneToOne && problem.isEmpty())
            m_order->renumberRecords();
        else
            m_order->setEntries(displayorder::fill(m_state.titles));
    };
    if (!mainorder::apply(m_state, m_dialogs, m_host,
                          QStringLiteral("表示順位微調整リストの順番ではメインを並び替えられません。並び替えると、"
                                         "読み込めなかったコミックがデータから消えてしまいます。"),
                          QStringLiteral("表示順位微調整リストの順番でメインのデータも並び替えますか？"),
                          QStringLiteral("表示順の変更"), backup::Reason::BeforeDisplayOrder, reorder, written))
        return;
    emit mainPageIndexRequested(m_state.titles.count());
    emit mainPageIndexRequested(1);
    setOrderUnsaved(false);
    mainorder::reportDone(m_state, m_dialogs);
}

void MaintenancePanel::cmdAllDel_Click()
{
    if (refusedWhileLocked(m_state.store, m_dialogs,
                           QStringLiteral("コミックデータは削除できません。読み込めなかったコミックの巻数・メモ・"
                                          "画像のファイルが、どのコミックのものでもないまま残ってしまいます。"),
                           QStringLiteral("データ削除できません")))
        return;
    if (m_dialogs.messageBox(QStringLiteral("現在登録されているコミックデータを全てクリアしますか？"),
                             Dialogs::YesNo + Dialogs::Question + Dialogs::DefaultButton2,
                             QStringLiteral("コミック全データ削除確認")) != Dialogs::Yes)
        return;
    if (!safeguards::backupBefore(m_state, m_dialogs, backup::Reason::BeforeClear))
        return;

    QString error;
    {
        const WaitCursor busy;
        error = collectionreset::clear(m_state.store, m_state.titles);
    }
    if (!error.isEmpty()) {
        m_dialogs.messageBox(error + QStringLiteral("\r\n\r\nコミックデータは削除していません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("データ削除できません"));
        return;
    }
    m_dialogs.messageBox(RestartText, Dialogs::OkOnly + Dialogs::Information, QStringLiteral("データ削除"));
    m_host.endProgram();
}

void MaintenancePanel::drvCom_Change()
{
    if (m_dirCom->openPath(m_drvCom->drive()))
        return;
    m_dialogs.messageBox(QStringLiteral("ﾃﾞﾊﾞｲｽが準備されていません"), Dialogs::OkOnly + Dialogs::Critical,
                         QStringLiteral("ﾃﾞﾊﾞｲｽ未準備"));
    m_drvCom->refresh(m_dirCom->path());
}

void MaintenancePanel::dirCom_Change()
{
    m_cmdCmGetIn->setEnabled(!freeedition::findDataFile(m_dirCom->path()).isEmpty());
}

void MaintenancePanel::cmdCmGetIn_Click()
{
    if (refusedWhileLocked(m_state.store, m_dialogs,
                           QStringLiteral("タナミルのデータは受け取れません。受け取ると、読み込めなかったコミックの"
                                          "データが確かめられないまま消えてしまいます。「%1」を修復するか、"
                                          "別の場所に移してから受け取って下さい。")
                               .arg(CollectionStore::CollectionFileName),
                           QStringLiteral("データ変換できません")))
        return;
    const QString folder = m_dirCom->path();
    // As when the file is probed: a file that is gone or cannot be read ends the click silently, and so does one
    // that holds no record.
    QFile file(freeedition::findDataFile(folder));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return;
    file.close();
    const freeedition::Parsed parsed = freeedition::parse(bytes);
    if (parsed.ok() && parsed.records.isEmpty())
        return;
    if (!parsed.ok()) {
        // Checked whole before anything is asked or changed: nothing of a damaged file is taken over.
        m_dialogs.messageBox(QStringLiteral("「%1」を受け取れません。\r\n%2\r\n\r\n今のデータは何も変更していません。")
                                 .arg(freeedition::DataFileName, parsed.problem),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("データ変換できません"));
        return;
    }

    // The folder is named: the answer is about the folder the button acts on, whatever the list shows by then.
    if (m_dialogs.messageBox(QStringLiteral("タナミルのデータを検出しました。\r\n\r\nタナミルＰｒｏに受け取りますか？"
                                            "\r\n\r\n受け取るフォルダ：%1")
                                 .arg(QDir::toNativeSeparators(folder)),
                             Dialogs::YesNo + Dialogs::Question, QStringLiteral("データ変換確認")) != Dialogs::Yes)
        return;
    if (!safeguards::backupBefore(m_state, m_dialogs, backup::Reason::BeforeImport))
        return;

    freeedition::Outcome outcome;
    {
        const WaitCursor busy;
        outcome = freeedition::importRecords(m_state.store, folder, parsed.records, m_today());
    }
    if (!outcome.error.isEmpty()) {
        m_dialogs.messageBox(outcome.error + QStringLiteral("\r\n\r\n今のデータは何も変更していません。"),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("データ変換できません"));
        return;
    }
    QString text = RestartText;
    if (!outcome.notCopied.isEmpty()) {
        QStringList named = outcome.notCopied.mid(0, NamedFailures);
        if (outcome.notCopied.size() > NamedFailures)
            named << QStringLiteral("ほか%1件").arg(outcome.notCopied.size() - NamedFailures);
        text += QStringLiteral("\r\n\r\n次の%1件の巻データファイルはコピーできませんでした"
                               "（それらの題名はすべて収集済みとして表示されます）。\r\n%2")
                    .arg(outcome.notCopied.size())
                    .arg(named.join(QStringLiteral("\r\n")));
    }
    m_dialogs.messageBox(text, Dialogs::OkOnly + Dialogs::Information, QStringLiteral("データ変換再起動"));
    m_host.endProgram();
}
