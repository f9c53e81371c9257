#pragma once

#include <QString>

// The arithmetic of the cover gallery: 21 slots a page, in three rows of seven, filled in title-table order.
// Pages and slots count from 1.
namespace gallery {

constexpr int SlotsPerPage = 21;
constexpr int SlotsPerRow = 7;

// Number of pages for titleCount titles: the integer part of titleCount / 21 + 0.999, so 0 titles have no
// page, 1 to 21 one page, 22 to 42 two.
int pageCount(int titleCount);

// The record shown in slot (1..21) of page.
int recordOf(int page, int slot);

// The page range shown under the wall: the first number and the last, p × 21 also on a last page that is not
// full.
QString firstNumberText(int page);
QString lastNumberText(int page);

// The page to show again after the titles changed under a kept page: the same page while it still exists, else
// the new last page; 1 when there is no page.
int keptPage(int page, int pages);

} // namespace gallery
