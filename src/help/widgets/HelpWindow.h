#pragma once

#include <QUrl>
#include <QWidget>
#include <memory>

class HelpBrowser;
class HelpDocument;
class HelpSearch;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// HelpWindow: the program's help, a window of its own. On the left the contents (helpContents), the index
// (helpIndex) and the full-text search (helpSearchText, helpSearchResults) in three tabs; on the right the page
// (helpBrowser), with back (helpBack), forward (helpForward) and first page (helpHome) above it. A help file
// that cannot be opened, or a page that cannot be read, is explained in the page area; a damaged help file and
// a link that is refused are told in a note above the page (helpNotice). The window never shows a message box.
class HelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Opens the help file at path and shows its first page. Returns false (and explains why in the page area)
    // when it cannot be opened.
    bool openFile(const QString& path);
    // Shows document (which the window then owns) from its first page. note, when not empty, stays above the
    // page while the document is shown; a damaged document that is shown gets a note of its own.
    void showDocument(std::unique_ptr<HelpDocument> document, const QString& note = QString());
    // Gives the window the size its pages want as far as the screen allows, beside owner (nullptr: centred).
    void placeBeside(const QWidget* owner);
    // The note above the page, empty when none is shown.
    QString notice() const;
    // The file last opened, or an empty string.
    QString filePath() const;
    const HelpDocument* helpDocument() const { return m_document.get(); }
    HelpBrowser* browser() const { return m_browser; }

    // Shows a page of the help file, as a click on a link to it would.
    void showTopic(const QUrl& url);
    // Runs the search for text as the search tab does; returns the number of pages found.
    int search(const QString& text);

private:
    void buildLayout();
    void fillContents();
    void fillIndex();
    void pageChanged(const QUrl& url);
    void contentsItemChanged(QTreeWidgetItem* item);
    void filterIndex(const QString& text);
    void openIndexItem(QListWidgetItem* item);
    void openSearchHit(QListWidgetItem* item);
    void highlightWords();
    void updateTitle();
    void updateNotice();

    std::unique_ptr<HelpDocument> m_document;
    std::unique_ptr<HelpSearch> m_search;
    QStringList m_highlight; // the words of the last search, marked on the pages opened from its results
    QString m_fileNote;      // about the help file shown, for as long as it is shown
    QString m_linkNote;      // about the last link refused, until another page is shown

    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QToolButton* m_home = nullptr;
    QLabel* m_notice = nullptr;
    QTabWidget* m_tabs = nullptr;
    QTreeWidget* m_contents = nullptr;
    QLineEdit* m_indexFilter = nullptr;
    QListWidget* m_index = nullptr;
    QLineEdit* m_searchText = nullptr;
    QPushButton* m_searchButton = nullptr;
    QLabel* m_searchCount = nullptr;
    QListWidget* m_searchResults = nullptr;
    HelpBrowser* m_browser = nullptr;
};
