#pragma once

#include "help/widgets/HelpWindow.h"
#include "ui/HelpViewer.h"

#include <QPointer>
#include <QString>

// The help viewer of the program: one HelpWindow, created on the first open and reused after. When the file
// asked for does not exist, the copy installed with the program is shown instead; when neither can be read,
// the window says so in its page area (no message box).
class ChmHelpViewer final : public HelpViewer {
public:
    // owner: the window the help belongs to (it stays above it and goes with it), or nullptr.
    // installedCopy: the help file shown when the one asked for is missing.
    explicit ChmHelpViewer(QWidget* owner = nullptr);
    ChmHelpViewer(QWidget* owner, const QString& installedCopy);
    ~ChmHelpViewer() override;

    bool open(const QString& path) override;
    void closeAll() override;

    // The window while it is open, else nullptr.
    HelpWindow* window() const { return m_window; }

private:
    QWidget* m_owner;
    QString m_installedCopy;
    QPointer<HelpWindow> m_window;
};
