#include "help/widgets/ChmHelpViewer.h"

#include "help/HelpDocument.h"
#include "help/widgets/HelpWindow.h"
#include "ui/logic/InstalledFiles.h"

#include <QDir>
#include <QFileInfo>

ChmHelpViewer::ChmHelpViewer(QWidget* owner) : ChmHelpViewer(owner, installedfiles::helpFile()) {}

ChmHelpViewer::ChmHelpViewer(QWidget* owner, const QString& installedCopy)
    : m_owner(owner), m_installedCopy(installedCopy)
{
}

ChmHelpViewer::~ChmHelpViewer()
{
    closeAll();
}

bool ChmHelpViewer::open(const QString& path)
{
    const bool created = !m_window;
    if (created)
        m_window = new HelpWindow(m_owner);
    // The same file again, unchanged, brings the window up where the reader left it.
    const QFileInfo requested(path);
    const FileStamp stamp{requested.absoluteFilePath(), requested.exists() ? requested.size() : -1,
                          requested.exists() ? requested.lastModified() : QDateTime()};
    const bool same = !created && m_window->helpDocument() && stamp == m_shown;
    bool opened = same ? m_window->helpDocument()->isOpen() : show(path);
    m_shown = stamp;
    if (created)
        m_window->placeBeside(m_owner);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return opened;
}

bool ChmHelpViewer::show(const QString& path)
{
    const bool exists = QFileInfo(path).isFile();
    auto document = std::make_unique<HelpDocument>(HelpDocument::open(path));
    if (document->isSound() || m_installedCopy.isEmpty() || !QFileInfo(m_installedCopy).isFile() ||
        QFileInfo(m_installedCopy) == QFileInfo(path)) {
        m_window->showDocument(std::move(document));
        return m_window->helpDocument()->isOpen();
    }
    // The folder's copy is missing or damaged: the copy installed with the program stands in, when it is sound.
    auto installed = std::make_unique<HelpDocument>(HelpDocument::open(m_installedCopy));
    if (!installed->isSound()) {
        m_window->showDocument(document->isOpen() || !installed->isOpen() ? std::move(document) : std::move(installed));
        return m_window->helpDocument()->isOpen();
    }
    const QString note =
        exists ? QStringLiteral("ヘルプファイル「%1」は壊れているため、プログラムと一緒にインストールされたヘルプ"
                                "「%2」を表示しています。壊れたファイルは削除してかまいません。")
                     .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                          QDir::toNativeSeparators(m_installedCopy))
               : QString();
    m_window->showDocument(std::move(installed), note);
    return true;
}

void ChmHelpViewer::closeAll()
{
    if (m_window) {
        m_window->close();
        delete m_window.data();
    }
}
