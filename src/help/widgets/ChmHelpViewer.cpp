#include "help/widgets/ChmHelpViewer.h"

#include "help/HelpDocument.h"
#include "help/widgets/HelpWindow.h"
#include "ui/logic/InstalledFiles.h"

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
    const QString file = HelpDocument::chooseFile(path, m_installedCopy);
    bool opened = true;
    // The same file again brings the window up where the reader left it; another file replaces it.
    const bool sameFile = m_window && m_window->helpDocument() && m_window->helpDocument()->isOpen() &&
                          QFileInfo(m_window->filePath()) == QFileInfo(file);
    if (!m_window)
        m_window = new HelpWindow(m_owner);
    if (!sameFile)
        opened = m_window->openFile(file);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    return opened;
}

void ChmHelpViewer::closeAll()
{
    if (m_window) {
        m_window->close();
        delete m_window.data();
    }
}
