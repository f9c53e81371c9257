#pragma once

#include "help/widgets/HelpWindow.h"
#include "ui/HelpViewer.h"

#include <QDateTime>
#include <QPointer>
#include <QString>

// The help viewer of the program: one HelpWindow, created on the first open (beside the owner, as large as the
// screen allows) and reused after. When the file asked for is missing or damaged, the copy installed with the
// program is shown instead, and a damaged file is named in the window; when neither can be read, the window
// says so in its page area (no message box).
class ChmHelpViewer final : public HelpViewer {
public:
    // owner: the window the help belongs to (it stays above it and goes with it), or nullptr.
    // installedCopy: the help file shown when the one asked for is missing or damaged.
    explicit ChmHelpViewer(QWidget* owner = nullptr);
    ChmHelpViewer(QWidget* owner, const QString& installedCopy);
    ~ChmHelpViewer() override;

    bool open(const QString& path) override;
    void closeAll() override;

    // The window while it is open, else nullptr.
    HelpWindow* window() const { return m_window; }

private:
    struct FileStamp {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileStamp&) const = default;
    };
    bool show(const QString& path);

    QWidget* m_owner;
    FileStamp m_shown;
    QString m_installedCopy;
    QPointer<HelpWindow> m_window;
};
