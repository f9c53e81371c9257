#pragma once

#include "ui/HelpViewer.h"

#include <QList>
#include <QPointer>

class QProcess;

// Shows the help file with a compiled-help reader installed on the system (xchm or kchmviewer), started as a
// child process so that closeAll can end it. Without such a reader, or without the file, nothing is shown.
class ProcessHelpViewer final : public HelpViewer {
public:
    ~ProcessHelpViewer() override;
    bool open(const QString& path) override;
    void closeAll() override;

private:
    QList<QPointer<QProcess>> m_processes;
};
