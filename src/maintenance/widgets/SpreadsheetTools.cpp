#include "maintenance/widgets/SpreadsheetTools.h"

#include "maintenance/SpreadsheetExport.h"
#include "maintenance/SpreadsheetImport.h"
#include "maintenance/SpreadsheetImportStep.h"
#include "store/AtomicFileWriter.h"
#include "ui/CollectionLock.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/Twips.h"
#include "ui/WaitCursor.h"
#include "ui/logic/AppState.h"
#include "ui/logic/Safeguards.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

namespace {

const QString ExportCaption = QStringLiteral("表計算用に書き出す");
const QString ImportCaption = QStringLiteral("表計算から取り込む");
const QString ImportFilter = QStringLiteral("表計算のファイル (*.csv *.txt *.tsv);;すべてのファイル (*)");
const QString ExportFilter = QStringLiteral("CSVファイル (*.csv)");
const QString SuggestedName = QStringLiteral("コミック一覧.csv");
const QString Refused = QStringLiteral("取り込めません");

} // namespace

SpreadsheetTools::SpreadsheetTools(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent)
    : QFrame(parent), m_state(state), m_dialogs(dialogs), m_host(host), m_today([] { return QDate::currentDate(); }),
      m_exportWriter(std::make_unique<AtomicFileWriter>())
{
    setObjectName(QStringLiteral("fraCsv"));
    auto* exportButton = new QPushButton(ExportCaption, this);
    exportButton->setObjectName(QStringLiteral("cmdCsvExport"));
    exportButton->setGeometry(twips::rect(0, 0, 3030, 495));
    auto* importButton = new QPushButton(ImportCaption, this);
    importButton->setObjectName(QStringLiteral("cmdCsvImport"));
    importButton->setGeometry(twips::rect(3150, 0, 3030, 495));
    connect(exportButton, &QPushButton::clicked, this, &SpreadsheetTools::cmdCsvExport_Click);
    connect(importButton, &QPushButton::clicked, this, &SpreadsheetTools::cmdCsvImport_Click);
}

SpreadsheetTools::~SpreadsheetTools() = default;

void SpreadsheetTools::setToday(std::function<QDate()> today)
{
    m_today = std::move(today);
}

void SpreadsheetTools::setExportWriter(std::unique_ptr<FileWriter> writer)
{
    m_exportWriter = std::move(writer);
}

void SpreadsheetTools::cmdCsvExport_Click()
{
    const QString path = m_dialogs.saveFileName(ExportCaption, SuggestedName, ExportFilter);
    if (path.isEmpty())
        return;
    QString error;
    {
        const WaitCursor busy;
        error = spreadsheet::exportTo(m_state.store, m_state.titles, path, *m_exportWriter);
    }
    if (!error.isEmpty()) {
        m_dialogs.messageBox(error, Dialogs::OkOnly + Dialogs::Exclamation, QStringLiteral("書き出せません"));
        return;
    }
    m_dialogs.messageBox(QStringLiteral("%1件のコミックを「%2」に書き出しました。")
                             .arg(m_state.titles.count())
                             .arg(QFileInfo(path).fileName()),
                         Dialogs::OkOnly + Dialogs::Information, ExportCaption);
}

void SpreadsheetTools::cmdCsvImport_Click()
{
    if (refusedWhileLocked(m_state.store, m_dialogs,
                           QStringLiteral("表計算から取り込めません。読み込めなかったコミックと同じ題名かどうかも"
                                          "確かめられません。"),
                           Refused))
        return;
    const QString path = m_dialogs.openFileName(ImportCaption, ImportFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        m_dialogs.messageBox(
            QStringLiteral("「%1」を読めませんでした。\r\n%2").arg(QFileInfo(path).fileName(), file.errorString()),
            Dialogs::OkOnly + Dialogs::Exclamation, Refused);
        return;
    }
    file.close();

    spreadsheetimport::Plan plan;
    {
        const WaitCursor busy;
        plan = spreadsheetimport::plan(bytes, m_state.titles, m_today());
    }
    if (!plan.ok()) {
        m_dialogs.messageBox(
            QStringLiteral("「%1」から取り込めません。\r\n%2\r\n\r\n今のデータは何も変更していません。")
                .arg(QFileInfo(path).fileName(), plan.problem),
            Dialogs::OkOnly + Dialogs::Exclamation, Refused);
        return;
    }
    if (plan.records.isEmpty()) {
        QString text = QStringLiteral("取り込めるコミックがありません。");
        if (!plan.refused.isEmpty())
            text += QStringLiteral("\r\n\r\n") + spreadsheetimport::refusalText(plan);
        m_dialogs.messageBox(text, Dialogs::OkOnly + Dialogs::Exclamation, Refused);
        return;
    }
    if (m_dialogs.messageBox(spreadsheetimport::questionText(plan), Dialogs::OkCancel + Dialogs::Question,
                             ImportCaption) != Dialogs::Ok)
        return;
    // Nothing is imported unless the collection as it is can be brought back as a whole.
    if (!safeguards::backupBefore(m_state, m_dialogs, backup::Reason::BeforeSpreadsheet))
        return;

    spreadsheetimport::Outcome outcome;
    {
        const WaitCursor busy;
        outcome = writeImport(plan);
    }
    if (!outcome.error.isEmpty()) {
        m_dialogs.messageBox(outcome.error, Dialogs::OkOnly + Dialogs::Exclamation, Refused);
        return;
    }
    m_host.refillTitleLists();
    m_state.stale.setAll();
    m_state.GalleryStale = true;
    m_host.refreshMainPage();
    emit imported();
}

spreadsheetimport::Outcome SpreadsheetTools::writeImport(const spreadsheetimport::Plan& plan)
{
    auto step = std::make_unique<SpreadsheetImportStep>(m_state.changes, plan);
    // One step on the window's undo stack; the stack owns it once its writes were made.
    return {m_state.history.perform(std::move(step)).error};
}
