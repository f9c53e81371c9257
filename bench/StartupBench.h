#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

class SyntheticCollection;

// startup_first_page first, then its sub-steps.
struct StartupResults : timing::Results {
    // The first start-up of the process, which also pays for loading fonts, plugins and locale data.
    double firstRunMs = 0;
};

// Starts the main window runs times in the collection's folder (made the current folder for the purpose) and
// times the start-up up to the first page shown, then the steps it is made of, each against its I/O floor.
StartupResults measureStartup(const SyntheticCollection& collection, int runs);
