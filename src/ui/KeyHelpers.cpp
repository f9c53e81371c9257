#include "ui/KeyHelpers.h"

#include <QKeyEvent>
#include <QShortcut>

namespace {

class EnterDoubleClicks final : public QObject {
public:
    EnterDoubleClicks(QAbstractItemView* view, std::optional<int> column)
        : QObject(view), m_view(view), m_column(column)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_view || event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        QModelIndex cell = m_view->currentIndex();
        if (cell.isValid() && m_column)
            cell = cell.siblingAtColumn(*m_column);
        if (cell.isValid())
            emit m_view->doubleClicked(cell);
        return true;
    }

private:
    QAbstractItemView* m_view;
    std::optional<int> m_column;
};

} // namespace

namespace keys {

void enterDoubleClicks(QAbstractItemView* view, std::optional<int> titleColumn)
{
    view->setTabKeyNavigation(false);
    view->installEventFilter(new EnterDoubleClicks(view, titleColumn));
}

void closeWithKeys(QWidget* window)
{
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
}

bool isDragKey(const QKeyEvent& event)
{
    return (event.key() == Qt::Key_Up || event.key() == Qt::Key_Down) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

std::optional<DragStep> dragStep(const QKeyEvent& event, int selected, int count)
{
    if (!isDragKey(event) || selected < 0 || selected >= count)
        return std::nullopt;
    if (event.key() == Qt::Key_Up)
        return selected > 0 ? std::optional(DragStep{selected, selected - 1, selected - 1}) : std::nullopt;
    return selected + 1 < count ? std::optional(DragStep{selected + 1, selected, selected + 1}) : std::nullopt;
}

} // namespace keys
