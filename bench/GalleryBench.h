#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

// gallery_open, gallery_page_change, gallery_page_change_ahead, gallery_stall.
struct GalleryResults : timing::Results {
    // Medians of the same page's 21 covers decoded one after the other on the GUI thread: whole and then shrunk
    // (the reference the page lines are judged against), and at the size they are shown.
    double fullDecodeMs = 0;
    double shownSizeDecodeMs = 0;
};

// The cover gallery panel on a folder of its own: 42 titles, each with a 1,200 × 1,800 JPEG cover. Times, from the
// click until every one of the page's 21 slots shows its cover and the window has painted it: the opening that
// builds page 1, a page change whose covers are not decoded yet, and a page change after the page before had been
// on show for a second; and the longest the window goes without answering during a page change.
GalleryResults measureGallery(int runs);
