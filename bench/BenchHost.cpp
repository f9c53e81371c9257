#include "BenchHost.h"

#include "Timing.h"
#include "app/MainWindow.h"
#include "store/CollectionStore.h"
#include "store/SelectionLists.h"
#include "ui/Twips.h"
#include "ui/logic/AppState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QSaveFile>
#include <QWidget>

namespace bench {

void repaint()
{
    QCoreApplication::processEvents();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() && file.commit();
}

double atomicWriteMs(const QString& path, const QByteArray& bytes)
{
    return timing::measureMs([&] { writeAtomically(path, bytes); });
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

int BenchDialogs::messageBox(const QString& text, int style, const QString&)
{
    ++m_boxes;
    m_lastText = text;
    if ((style & 0x0F) == YesNo)
        return questionAnswer;
    ++m_otherBoxes;
    return Ok;
}

QString BenchDialogs::inputBox(const QString& prompt, const QString&, const QString&)
{
    ++m_boxes;
    ++m_otherBoxes;
    m_lastText = prompt;
    return {};
}

PanelHost::PanelHost(AppState* state) : m_state(state) {}

PanelHost::~PanelHost() = default;

QWidget* PanelHost::window()
{
    if (!m_window) {
        m_window = std::make_unique<QWidget>();
        m_window->resize(twips::toPixels(11880), twips::toPixels(7575));
    }
    return m_window.get();
}

void PanelHost::showInWindow(QWidget* shown)
{
    panel = shown;
    panel->setGeometry(0, 0, window()->width(), window()->height());
    window()->show();
    repaint();
}

void PanelHost::HidePanels()
{
    if (panel)
        panel->hide();
}

QString PanelHost::LoadTitleTable()
{
    if (!m_state)
        return {};
    CollectionStore::Load load = m_state->store.loadCollection();
    m_state->titles.replaceWith(std::move(load.table));
    m_state->lists = updatedSelectionLists(m_state->lists, m_state->titles);
    return load.problem;
}

QString PanelHost::loadWhole(int count)
{
    const QString problem = LoadTitleTable();
    if (problem.isEmpty() && m_state && m_state->titles.count() == count)
        return {};
    return QStringLiteral("the collection did not load whole: ") + problem;
}

WindowInFolder::WindowInFolder(const QString& folder, Dialogs& dialogs) : m_previousFolder(QDir::currentPath())
{
    QDir::setCurrent(folder);
    QElapsedTimer timer;
    timer.start();
    m_window = std::make_unique<MainWindow>(dialogs);
    m_constructedMs = timing::elapsedMs(timer);
    m_window->show();
    repaint();
    m_shownMs = timing::elapsedMs(timer);
}

WindowInFolder::~WindowInFolder()
{
    m_window.reset();
    QDir::setCurrent(m_previousFolder);
}

} // namespace bench
