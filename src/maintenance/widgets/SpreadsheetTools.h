#pragma once

#include <QDate>
#include <QFrame>
#include <functional>

class AppState;
class Dialogs;
class FileWriter;
class ScreenHost;
namespace spreadsheetimport {
struct Outcome;
struct Plan;
} // namespace spreadsheetimport

// The pair of buttons of the maintenance panel that moves the collection to and from a spreadsheet: cmdCsvExport writes
// the whole collection as a table, cmdCsvImport adds the titles of a table after one question that counts them
// and names every row it refuses.
class SpreadsheetTools final : public QFrame {
    Q_OBJECT
public:
    SpreadsheetTools(AppState& state, Dialogs& dialogs, ScreenHost& host, QWidget* parent = nullptr);
    ~SpreadsheetTools() override;

    // The day empty dates of imported rows take, today unless a test says otherwise.
    void setToday(std::function<QDate()> today);
    // The writer of the exported file (an atomic one unless a test makes writes fail).
    void setExportWriter(std::unique_ptr<FileWriter> writer);

    void cmdCsvExport_Click();
    void cmdCsvImport_Click();

signals:
    // Titles were added: lists of the collection must be refilled.
    void imported();

private:
    // Every write of an import happens here, after the question was answered OK.
    spreadsheetimport::Outcome writeImport(const spreadsheetimport::Plan& plan);

    AppState& m_state;
    Dialogs& m_dialogs;
    ScreenHost& m_host;
    std::function<QDate()> m_today;
    std::unique_ptr<FileWriter> m_exportWriter;
};
