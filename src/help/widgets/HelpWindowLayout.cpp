// The help window's panes, tabs and buttons, each made, named and wired to the window's handlers.
#include "help/widgets/HelpWindow.h"

#include "help/HelpDocument.h"
#include "help/widgets/HelpBrowser.h"
#include "help/widgets/SearchHitDelegate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
namespace {

QToolButton* toolButton(const char* name, const QString& text, QStyle::StandardPixmap icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

void HelpWindow::buildLayout()
{
    m_back = toolButton("helpBack", QStringLiteral("戻る"), QStyle::SP_ArrowBack, this);
    m_forward = toolButton("helpForward", QStringLiteral("進む"), QStyle::SP_ArrowForward, this);
    m_home = toolButton("helpHome", QStringLiteral("最初のページ"), QStyle::SP_DirHomeIcon, this);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_home);
    bar->addStretch();

    m_notice = new QLabel;
    m_notice->setObjectName(QStringLiteral("helpNotice"));
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->setStyleSheet(QStringLiteral("QLabel { background: #fff4c2; color: #402000; border: 1px solid #e0c060;"
                                           " padding: 6px; }"));
    m_notice->hide();

    m_contents = new QTreeWidget;
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);

    auto* indexPage = new QWidget;
    m_indexFilter = new QLineEdit;
    m_indexFilter->setObjectName(QStringLiteral("helpIndexFilter"));
    m_indexFilter->setPlaceholderText(QStringLiteral("キーワードを入力"));
    m_index = new QListWidget;
    m_index->setObjectName(QStringLiteral("helpIndex"));
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(m_indexFilter);
    indexLayout->addWidget(m_index);

    auto* searchPage = new QWidget;
    m_searchText = new QLineEdit;
    m_searchText->setObjectName(QStringLiteral("helpSearchText"));
    m_searchText->setPlaceholderText(QStringLiteral("探す言葉（空白で区切って複数）"));
    m_searchButton = new QPushButton(QStringLiteral("検索"));
    m_searchButton->setObjectName(QStringLiteral("helpSearchButton"));
    m_searchCount = new QLabel;
    m_searchCount->setObjectName(QStringLiteral("helpSearchCount"));
    m_searchResults = new QListWidget;
    m_searchResults->setObjectName(QStringLiteral("helpSearchResults"));
    m_searchResults->setWordWrap(true);
    m_searchResults->setItemDelegate(new SearchHitDelegate(m_searchResults));
    m_searchResults->setUniformItemSizes(false);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchText);
    searchRow->addWidget(m_searchButton);
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addLayout(searchRow);
    searchLayout->addWidget(m_searchCount);
    searchLayout->addWidget(m_searchResults);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_tabs->addTab(m_contents, QStringLiteral("目次"));
    m_tabs->addTab(indexPage, QStringLiteral("索引"));
    m_tabs->addTab(searchPage, QStringLiteral("検索"));

    m_browser = new HelpBrowser;
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("helpSplitter"));
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({300, 860});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_notice);
    layout->addWidget(splitter, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QToolButton::clicked, this, [this] {
        if (m_document)
            showTopic(m_document->firstTopic());
    });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    connect(m_browser, &HelpBrowser::linkRefused, this, [this](const QUrl& url) {
        m_linkNote = QStringLiteral("このリンクは開きません：%1\nヘルプから開くのはウェブページ（http、https）と"
                                    "メール（mailto）のリンクだけです。")
                         .arg(url.toDisplayString().left(200));
        updateNotice();
    });
    connect(m_contents, &QTreeWidget::currentItemChanged, this, &HelpWindow::contentsItemChanged);
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpWindow::filterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] { openIndexItem(m_index->currentItem()); });
    connect(m_index, &QListWidget::itemClicked, this, &HelpWindow::openIndexItem);
    connect(m_index, &QListWidget::itemActivated, this, &HelpWindow::openIndexItem);
    connect(m_searchText, &QLineEdit::returnPressed, this, [this] { search(m_searchText->text()); });
    connect(m_searchButton, &QPushButton::clicked, this, [this] { search(m_searchText->text()); });
    connect(m_searchResults, &QListWidget::itemClicked, this, &HelpWindow::openSearchHit);
    connect(m_searchResults, &QListWidget::itemActivated, this, &HelpWindow::openSearchHit);
}
