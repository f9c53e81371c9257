#pragma once

#include <QString>

// What a screen panel may ask of the window that hosts it. Screens never reach into the main window's other
// panels; they switch screens, bring a title up on the main page and explain themselves through here.
class ScreenHost {
public:
    virtual ~ScreenHost() = default;

    // Hides the seven screen panels (and the statistics screen once built) and disables the delete button.
    virtual void HidePanels() = 0;
    // Shows the help-tour message held in the state's TourText when the tour is on.
    virtual void ShowTourMessage() = 0;
    // Shows the main page (enabling the delete button) on title index, or where it stands when index is 0.
    virtual void showMainPage(int index) = 0;
    // Refills every list the title table feeds after records were added, removed or reordered.
    virtual QString LoadTitleTable() = 0;
    // The same from the table in memory, after a change that left it as the file now holds it: nothing is read.
    virtual void refillTitleLists() { LoadTitleTable(); }
    // Shows the main page's current title again (its fields, volumes, cover and memo), where it stands.
    // (Hosts without a main page, such as a test's, may leave these two alone.)
    virtual void refreshMainPage() {}
    // Shows the favourite ranking as the state's favourites now hold it.
    virtual void showFavourites() {}
    // Shows the status list with the cells the stale flags mark read again, and the main page's volumes reread.
    virtual void showStatusList() {}
    // Shows the statistics screen, built when it is first asked for.
    virtual void showStatistics() {}
    // Ends the program the way the end button does: the help closes, the window closes, the application quits.
    virtual void endProgram() {}
};
