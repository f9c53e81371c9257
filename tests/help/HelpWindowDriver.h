#pragma once
// Drives the help window in tests as a reader does: finds its controls, clicks links where they are drawn, and
// reads what the page shows.
#include "help/widgets/HelpBrowser.h"
#include "help/widgets/HelpWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTextBlock>
#include <QTreeWidget>
#include <QTest>

namespace helpdriver {

inline const QString HelpData = QStringLiteral(TESTDATA_DIR "/help");

inline QString testChm()
{
    return HelpData + QStringLiteral("/test.chm");
}

template <typename T> T* child(const QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no control named %s", name);
    return found;
}

inline QString pageTitle(const HelpWindow& w)
{
    return child<HelpBrowser>(&w, "helpBrowser")->documentTitle();
}

inline QString pageText(const HelpWindow& w)
{
    return child<HelpBrowser>(&w, "helpBrowser")->toPlainText();
}

// Clicks the first link of the shown page whose target is href, where a reader would.
inline bool clickLink(const HelpWindow& w, const QString& href)
{
    HelpBrowser* browser = child<HelpBrowser>(&w, "helpBrowser");
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            browser->setTextCursor(cursor);
            browser->ensureCursorVisible();
            const QPoint at = browser->cursorRect(cursor).center();
            QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
            return true;
        }
    }
    return false;
}

// Links handed to the desktop are recorded in opened instead of being opened.
inline void recordDesktop(const HelpWindow& w, QList<QUrl>* opened)
{
    w.browser()->setExternalOpener([opened](const QUrl& url) {
        *opened << url;
        return true;
    });
}

inline void click(const HelpWindow& w, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(&w, name), Qt::LeftButton);
}

inline QStringList itemTexts(const QTreeWidget* tree, QTreeWidgetItem* parent = nullptr)
{
    QStringList texts;
    const int n = parent ? parent->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < n; ++i)
        texts << (parent ? parent->child(i) : tree->topLevelItem(i))->text(0);
    return texts;
}

inline QTreeWidgetItem* findItem(const QTreeWidget* tree, const QString& text)
{
    const QList<QTreeWidgetItem*> items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return items.isEmpty() ? nullptr : items.first();
}

inline bool showsColour(QWidget* widget, const QColor& colour)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

inline bool anyMessageBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
            return true;
    return false;
}

inline HelpWindow* openHelpWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("HelpWindow") && widget->isVisible())
            return qobject_cast<HelpWindow*>(widget);
    return nullptr;
}

} // namespace helpdriver
