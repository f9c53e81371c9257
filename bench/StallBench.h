#pragma once

#include "Timing.h"

class SyntheticCollection;

// Starts the main window in the collection's folder and lets it run for a while after the first page is shown,
// then clicks a volume of title 1 and lets it run again: the longest time the event loop went without turning
// in each of those windows (stall_after_startup, stall_after_save). Each run takes about eight seconds.
timing::Results measureStalls(const SyntheticCollection& collection, int runs);
