#include "help/widgets/HelpWindow.h"

#include "help/HelpDocument.h"
#include "help/HelpPlacement.h"
#include "help/HelpSearch.h"
#include "help/widgets/HelpBrowser.h"
#include "help/widgets/SearchHitDelegate.h"
#include "ui/KeyHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

const QString DefaultTitle = QStringLiteral("タナミルＰｒｏ ヘルプ");
constexpr int UrlRole = Qt::UserRole;
// Wide enough for the pages' screenshots (792 pixels) beside the contents.
constexpr QSize PreferredSize(1160, 780);
// The window manager's title bar and borders, assumed until the window has been shown once.
constexpr QSize AssumedFrame(16, 48);

// The same page, whatever part of it a link points at.
QString pageKey(const QUrl& url)
{
    return ChmArchive::key(HelpDocument::pathOf(url));
}

void addEntries(const QList<HelpEntry>& entries, QTreeWidgetItem* parent, QTreeWidget* tree)
{
    for (const HelpEntry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, entry.name.isEmpty() ? entry.local : entry.name);
        item->setToolTip(0, item->text(0)); // a long name is cut off at the pane's edge
        if (!entry.local.isEmpty())
            item->setData(0, UrlRole, HelpDocument::urlOf(entry.local));
        item->setIcon(0,
                      tree->style()->standardIcon(entry.children.isEmpty() ? QStyle::SP_FileIcon : QStyle::SP_DirIcon));
        addEntries(entry.children, item, tree);
    }
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    // Closing the main window ends the program even while the help is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(DefaultTitle);
    buildLayout();
    placeBeside(nullptr);
    keys::closeWithKeys(this);
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::openFile(const QString& path)
{
    showDocument(std::make_unique<HelpDocument>(HelpDocument::open(path)));
    return m_document->isOpen();
}

void HelpWindow::showDocument(std::unique_ptr<HelpDocument> document, const QString& note)
{
    m_search.reset();
    m_browser->setHelpDocument(nullptr);
    m_document = std::move(document);
    m_search = std::make_unique<HelpSearch>(*m_document);
    m_browser->setHelpDocument(m_document.get());
    m_highlight.clear();
    fillContents();
    fillIndex();
    m_searchResults->clear();
    m_searchCount->clear();

    const QString shownPath = QDir::toNativeSeparators(QFileInfo(m_document->path()).absoluteFilePath());
    m_fileNote = note;
    if (m_document->isOpen() && !m_document->isSound())
        m_fileNote = QStringLiteral("ヘルプファイル「%1」は壊れています。目次・索引や一部のページ、図が表示されない"
                                    "ことがあります。プログラムをインストールし直すと元に戻ります。")
                         .arg(shownPath);
    m_linkNote.clear();

    // A page from the file before must not stay in the history, nor count as already shown.
    m_browser->clear();
    const QUrl first = m_document->firstTopic();
    if (!m_document->isOpen()) {
        m_browser->showMessage(QStringLiteral("ヘルプを表示できません"),
                               m_document->error() +
                                   QStringLiteral("\nヘルプファイル「HondexHelp.chm」をデータのあるフォルダに置くか、"
                                                  "プログラムをインストールし直すと表示できるようになります。"));
    } else if (!first.isValid()) {
        m_browser->showMessage(
            QStringLiteral("ヘルプを表示できません"),
            m_document->archive().isComplete()
                ? QStringLiteral("ヘルプファイル「%1」には表示できるページがありません。").arg(shownPath)
                : QStringLiteral("ヘルプファイル「%1」は壊れているため、ページを表示できません。").arg(shownPath));
    } else {
        m_browser->setSource(first, QTextDocument::HtmlResource);
    }
    m_browser->clearHistory();
    m_home->setEnabled(first.isValid());
    updateTitle();
    updateNotice();
}

void HelpWindow::placeBeside(const QWidget* owner)
{
    const QScreen* screen = owner ? owner->screen() : this->screen();
    if (!screen)
        return;
    const QSize frame = isVisible() ? frameGeometry().size() - size() : AssumedFrame;
    setGeometry(helpplacement::place(screen->availableGeometry(), owner ? owner->frameGeometry() : QRect(),
                                     PreferredSize, frame));
}

QString HelpWindow::notice() const
{
    return m_notice->isHidden() ? QString() : m_notice->text();
}

void HelpWindow::updateNotice()
{
    QStringList notes;
    for (const QString& note : {m_fileNote, m_linkNote})
        if (!note.isEmpty())
            notes << note;
    m_notice->setText(notes.join(QLatin1Char('\n')));
    m_notice->setVisible(!notes.isEmpty());
}

QString HelpWindow::filePath() const
{
    return m_document ? m_document->path() : QString();
}

void HelpWindow::showTopic(const QUrl& url)
{
    if (m_document && HelpDocument::isInside(url))
        m_browser->setSource(url, QTextDocument::HtmlResource);
}

void HelpWindow::fillContents()
{
    const QSignalBlocker blocker(m_contents);
    m_contents->clear();
    addEntries(m_document->contents(), nullptr, m_contents);
    m_contents->expandAll();
}

void HelpWindow::fillIndex()
{
    m_indexFilter->clear();
    m_index->clear();
    for (const sitemap::FlatEntry& flat : sitemap::flatten(m_document->index())) {
        auto* item = new QListWidgetItem(QString(flat.depth, QChar(0x3000)) + flat.entry->name, m_index);
        item->setToolTip(flat.entry->name);
        if (!flat.entry->local.isEmpty())
            item->setData(UrlRole, HelpDocument::urlOf(flat.entry->local));
    }
}

void HelpWindow::pageChanged(const QUrl& url)
{
    // The contents follow the page, however it was reached.
    const QString key = pageKey(url);
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        const QUrl itemUrl = (*it)->data(0, UrlRole).toUrl();
        if (itemUrl.isValid() && pageKey(itemUrl) == key) {
            if (m_contents->currentItem() == *it)
                break;
            const QSignalBlocker blocker(m_contents);
            m_contents->setCurrentItem(*it);
            m_contents->scrollToItem(*it);
            break;
        }
    }
    updateTitle();
    highlightWords();
    if (!m_linkNote.isEmpty()) {
        m_linkNote.clear();
        updateNotice();
    }
}

void HelpWindow::contentsItemChanged(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QUrl url = item->data(0, UrlRole).toUrl();
    if (!url.isValid())
        return; // a heading without a page of its own
    m_highlight.clear();
    showTopic(url);
}

void HelpWindow::filterIndex(const QString& text)
{
    const QString wanted = HelpSearch::fold(text.trimmed());
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < m_index->count(); ++i) {
        QListWidgetItem* item = m_index->item(i);
        const bool shown = wanted.isEmpty() || HelpSearch::fold(item->text()).contains(wanted);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    if (first) {
        m_index->setCurrentItem(first);
        m_index->scrollToItem(first);
    }
}

void HelpWindow::openIndexItem(QListWidgetItem* item)
{
    if (!item || item->isHidden())
        return;
    m_highlight.clear();
    showTopic(item->data(UrlRole).toUrl());
}

int HelpWindow::search(const QString& text)
{
    m_tabs->setCurrentIndex(2);
    if (m_searchText->text() != text)
        m_searchText->setText(text);
    m_searchResults->clear();
    if (text.trimmed().isEmpty()) {
        m_searchCount->setText(QStringLiteral("探す言葉を入力してください。"));
        return 0;
    }
    const QList<HelpSearch::Hit> hits = m_search ? m_search->search(text) : QList<HelpSearch::Hit>();
    for (const HelpSearch::Hit& hit : hits) {
        auto* item = new QListWidgetItem(hit.title + QLatin1Char('\n') + hit.snippet, m_searchResults);
        item->setData(UrlRole, hit.url);
        item->setData(SearchHitDelegate::TitleRole, hit.title);
        item->setData(SearchHitDelegate::SnippetRole, hit.snippet);
        item->setToolTip(hit.snippet);
    }
    m_searchCount->setText(hits.isEmpty() ? QStringLiteral("見つかりませんでした。")
                                          : QStringLiteral("%1件のページが見つかりました。").arg(hits.size()));
    return int(hits.size());
}

void HelpWindow::openSearchHit(QListWidgetItem* item)
{
    if (!item)
        return;
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    m_highlight = m_searchText->text().split(spaces, Qt::SkipEmptyParts);
    showTopic(item->data(UrlRole).toUrl());
}

void HelpWindow::highlightWords()
{
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setBackground(QColor(255, 240, 120));
    for (const QString& word : std::as_const(m_highlight)) {
        QTextCursor found = m_browser->document()->find(word);
        while (!found.isNull()) {
            marks.append({found, format});
            found = m_browser->document()->find(word, found);
        }
    }
    m_browser->setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor first = marks.first().cursor;
        first.clearSelection();
        m_browser->setTextCursor(first);
        m_browser->ensureCursorVisible();
    }
}

void HelpWindow::updateTitle()
{
    const QString help = m_document && !m_document->title().isEmpty() ? m_document->title() : DefaultTitle;
    const QString page = m_browser->documentTitle();
    setWindowTitle(page.isEmpty() || page == help ? help : page + QStringLiteral(" - ") + help);
}
