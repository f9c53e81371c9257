#pragma once

#include "Timing.h"

#include <QList>
#include <QString>

// gallery_open first.
struct GalleryResults : timing::Results {
    double fullDecodeMs = 0; // median: the page's 21 covers decoded at full size, then shrunk
};

// The cover gallery panel on a folder of its own: 42 titles, each with a 1,200 × 1,800 JPEG cover. Times the
// opening that builds page 1 and a page change (up and down in turn), each up to its repaint, against reading the
// page's 21 cover files.
GalleryResults measureGallery(int runs);
