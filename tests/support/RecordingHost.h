#pragma once

#include "store/CollectionStore.h"
#include "store/SelectionLists.h"
#include "ui/Dialogs.h"
#include "ui/ScreenHost.h"
#include "ui/logic/AppState.h"

#include <QList>
#include <QString>
#include <QWidget>

// The help tour's box title, as the window shows it.
inline const QString TourTitle = QStringLiteral("ヘルプツアー");

// The window, for a panel tested on its own: it records what the panel asks of the window. Hiding the panels
// hides the panel; the tour message is shown when the tour is on; reading the title table again reads the
// collection as the window does, unless the host is made not to (a panel that only shows what it is given).
class RecordingHost final : public ScreenHost {
public:
    enum Reload { Reads, ReadsNothing };
    RecordingHost(AppState& state, Dialogs& dialogs, Reload reload = Reads)
        : m_state(state), m_dialogs(dialogs), m_reload(reload)
    {
    }
    QWidget* panel = nullptr;
    int hides = 0;
    int loads = 0;
    int ends = 0;
    QList<int> mainPages;

    void HidePanels() override
    {
        ++hides;
        panel->hide();
    }
    void ShowTourMessage() override
    {
        if (m_state.HelpTourOn != 0)
            m_dialogs.messageBox(m_state.TourText, Dialogs::OkOnly + Dialogs::Information, TourTitle);
    }
    void showMainPage(int index) override
    {
        HidePanels();
        mainPages << index;
    }
    QString LoadTitleTable() override
    {
        ++loads;
        if (m_reload == ReadsNothing)
            return {};
        CollectionStore::Load load = m_state.store.loadCollection();
        m_state.titles = std::move(load.table);
        m_state.lists = buildSelectionLists(m_state.titles);
        return load.problem;
    }
    void endProgram() override
    {
        ++ends;
        panel->close();
    }

private:
    AppState& m_state;
    Dialogs& m_dialogs;
    Reload m_reload;
};
