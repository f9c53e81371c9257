#include "gallery/widgets/CoverImportPanel.h"

#include "gallery/CoverImport.h"
#include "gallery/CoverPictures.h"
#include "gallery/widgets/FileSystemLists.h"
#include "history/RecordChanges.h"
#include "ui/Dialogs.h"
#include "ui/DirectoryList.h"
#include "ui/MainPage.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace {

const QString ImportTitle = QStringLiteral("画像取り込み");

// The readable starting points of the file system: the home folder, then every mounted volume.
struct Drive {
    QString text;
    QString root;
};

QList<Drive> drives()
{
    QList<Drive> list;
    const QString home = QDir::homePath();
    list.append({QStringLiteral("ホーム（%1）").arg(QDir::toNativeSeparators(home)), home});
    bool rootListed = false;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid())
            continue;
        const QString root = volume.rootPath();
        rootListed = rootListed || root == QDir::rootPath();
        const QString name = volume.displayName();
        list.append({name == root ? QDir::toNativeSeparators(root)
                                  : QStringLiteral("%1 [%2]").arg(QDir::toNativeSeparators(root), name),
                     root});
    }
    if (!rootListed)
        list.insert(1, {QDir::toNativeSeparators(QDir::rootPath()), QDir::rootPath()});
    return list;
}

bool readableFolder(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && info.isReadable() && QDir(path).isReadable();
}

} // namespace

CoverImportPanel::CoverImportPanel(MainPage& page, AppState& state, Dialogs& dialogs, ScreenHost& host)
    : QFrame(&page), m_page(page), m_state(state), m_dialogs(dialogs), m_host(host)
{
    setObjectName(QStringLiteral("fraPicget"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    buildControls();
    hide();

    connect(&page, &MainPage::imgGazou_Click, this, &CoverImportPanel::imgGazou_Click);
    connect(&page, &MainPage::coverFileGiven, this, &CoverImportPanel::importGivenFile);
    connect(&page, &MainPage::coverImageGiven, this, &CoverImportPanel::importGivenImage);
}

void CoverImportPanel::buildControls()
{
    auto* heading = new QLabel(QStringLiteral("画像取り込み先指定"), this);
    heading->setGeometry(twips::rect(150, 300, 3255, 330));

    m_drvZukei_Moto = new QComboBox(this);
    m_drvZukei_Moto->setObjectName(QStringLiteral("drvZukei_Moto"));
    m_drvZukei_Moto->setGeometry(twips::rect(180, 600, 3270, 300));
    connect(m_drvZukei_Moto, &QComboBox::activated, this, &CoverImportPanel::drvZukei_Moto_Change);

    m_dirZukei_Moto = new DirectoryList(this);
    m_dirZukei_Moto->setObjectName(QStringLiteral("dirZukei_Moto"));
    m_dirZukei_Moto->setGeometry(twips::rect(150, 975, 3270, 1560));
    connect(m_dirZukei_Moto, &DirectoryList::pathChanged, this, &CoverImportPanel::dirZukei_Moto_Change);

    m_filZukei_Moto = new FileList(coverimport::nameFilters(), this);
    m_filZukei_Moto->setObjectName(QStringLiteral("filZukei_Moto"));
    m_filZukei_Moto->setGeometry(twips::rect(150, 2700, 3270, 2430));
    connect(m_filZukei_Moto, &FileList::fileChosen, this, &CoverImportPanel::filZukei_Moto_Click);

    auto* copy = new QPushButton(QStringLiteral("画像を取り込む"), this);
    copy->setObjectName(QStringLiteral("cmdFileCopy"));
    copy->setGeometry(twips::rect(150, 5250, 1470, 1005));
    connect(copy, &QPushButton::clicked, this, &CoverImportPanel::cmdFileCopy_Click);

    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("cmdYame"));
    cancel->setGeometry(twips::rect(1950, 5250, 1470, 1005));
    connect(cancel, &QPushButton::clicked, this, &CoverImportPanel::cmdYame_Click);
}

void CoverImportPanel::fillLists()
{
    if (m_listsFilled) {
        m_filZukei_Moto->reread();
        return;
    }
    m_listsFilled = true;
    // The folder the program started in, where the covers go.
    m_dirZukei_Moto->setPath(m_state.CoverFolder);
    refreshDrives();
}

void CoverImportPanel::refreshDrives()
{
    const QSignalBlocker blocker(m_drvZukei_Moto);
    m_drvZukei_Moto->clear();
    for (const Drive& drive : drives())
        m_drvZukei_Moto->addItem(drive.text, drive.root);
    showDriveOf(m_dirZukei_Moto->path());
}

void CoverImportPanel::showDriveOf(const QString& folder)
{
    // The starting point that holds the folder most closely.
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drvZukei_Moto->count(); ++i) {
        const QString root = m_drvZukei_Moto->itemData(i).toString();
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((folder == root || folder.startsWith(prefix)) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    const QSignalBlocker blocker(m_drvZukei_Moto);
    m_drvZukei_Moto->setCurrentIndex(best);
}

QString CoverImportPanel::shownTitle() const
{
    const int index = m_page.currentIndex();
    return m_state.titles.isValidIndex(index) ? m_state.titles.at(index).title : QString();
}

void CoverImportPanel::imgGazou_Click()
{
    // Without a title shown there is nothing to give a cover; an open panel keeps the file chosen in it.
    if (shownTitle().isEmpty() || !isHidden())
        return;
    fillLists();
    show();
    raise();
}

void CoverImportPanel::drvZukei_Moto_Change()
{
    const QString root = m_drvZukei_Moto->currentData().toString();
    if (!readableFolder(root)) {
        m_dialogs.messageBox(QStringLiteral("ﾃﾞﾊﾞｲｽが準備されていません"), Dialogs::OkOnly + Dialogs::Critical,
                             QStringLiteral("ﾃﾞﾊﾞｲｽ未準備"));
        // The folder and file lists stay where they were; the drive list shows what is there now.
        refreshDrives();
        return;
    }
    m_dirZukei_Moto->setPath(root);
}

void CoverImportPanel::dirZukei_Moto_Change()
{
    m_filZukei_Moto->setPath(m_dirZukei_Moto->path());
    showDriveOf(m_dirZukei_Moto->path());
}

void CoverImportPanel::filZukei_Moto_Click()
{
    if (m_filZukei_Moto->fileName().isEmpty())
        return;
    // A file that cannot be shown leaves the preview as it was.
    m_page.previewCover(covers::readFitted(m_filZukei_Moto->chosenPath(), m_page.coverSize(), false));
}

void CoverImportPanel::cmdFileCopy_Click()
{
    if (m_filZukei_Moto->fileName().isEmpty()) {
        m_dialogs.messageBox(QStringLiteral("コピー元ファイルが指定されていません \n\n先にファイルを選択して下さい "),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("ファイル未選択"));
        return;
    }
    // Exactly the file the user chose, by its path: a file gone since is reported, never replaced by another.
    const QString chosen = m_filZukei_Moto->chosenPath();
    if (!QFileInfo(chosen).isFile()) {
        m_dialogs.messageBox(QStringLiteral("選んだファイル「%1」が見つかりません。\n移動または削除されたようです。"
                                            "\n\n取り込む画像をもう一度選んで下さい。")
                                 .arg(m_filZukei_Moto->fileName()),
                             Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("画像を取り込めません"));
        m_filZukei_Moto->reread();
        return;
    }
    if (importSource(chosen))
        hide();
}

void CoverImportPanel::cmdYame_Click()
{
    hide();
    // The preview goes: the cover's place shows the title's own cover again.
    m_page.showCover(shownTitle());
}

void CoverImportPanel::importGivenFile(const QString& path)
{
    if (importSource(path))
        hide();
}

void CoverImportPanel::importGivenImage(const QImage& image)
{
    if (importPicture(image))
        hide();
}

bool CoverImportPanel::importSource(const QString& path)
{
    return finish(coverimport::importFile(m_state.store, shownTitle(), path, overwriteQuestion(), asUndoStep()));
}

bool CoverImportPanel::importPicture(const QImage& image)
{
    return finish(coverimport::importPicture(m_state.store, shownTitle(), image, overwriteQuestion(), asUndoStep()));
}

coverimport::Confirm CoverImportPanel::overwriteQuestion()
{
    return [this](const QString& text) {
        return m_dialogs.messageBox(text, Dialogs::OkCancel + Dialogs::Exclamation, QStringLiteral("上書き確認")) ==
               Dialogs::Ok;
    };
}

coverimport::Wrap CoverImportPanel::asUndoStep()
{
    return [this](const std::function<coverimport::Outcome()>& write) {
        coverimport::Outcome outcome;
        m_state.history.perform(std::make_unique<CoverImport>(m_state.changes, shownTitle(), [&] {
            outcome = write();
            return outcome.kind == coverimport::Outcome::Imported ? QString() : outcome.message;
        }));
        return outcome;
    };
}

bool CoverImportPanel::finish(const coverimport::Outcome& outcome)
{
    switch (outcome.kind) {
    case coverimport::Outcome::Refused:
        m_dialogs.messageBox(outcome.message, Dialogs::OkOnly + Dialogs::Exclamation, ImportTitle);
        return false;
    case coverimport::Outcome::Failed:
        m_dialogs.messageBox(outcome.message, Dialogs::OkOnly + Dialogs::Exclamation,
                             QStringLiteral("画像を取り込めません"));
        return false;
    case coverimport::Outcome::Cancelled:
        return false;
    case coverimport::Outcome::Imported:
        break;
    }
    imported();
    if (!outcome.message.isEmpty())
        m_dialogs.messageBox(outcome.message, Dialogs::OkOnly + Dialogs::Exclamation, ImportTitle);
    return true;
}

void CoverImportPanel::imported()
{
    m_state.GalleryStale = true;
    // The page shows the cover its own lookup now finds, the same one the gallery will show.
    m_host.refreshMainPage();
}
