#include "gallery/GalleryPages.h"

#include <algorithm>

namespace gallery {

int pageCount(int titleCount)
{
    // Computed in floating point as the page count always has been; 0.999 rounds every partial page up.
    return int(double(titleCount) / SlotsPerPage + 0.999);
}

int recordOf(int page, int slot)
{
    return (page - 1) * SlotsPerPage + slot;
}

QString firstNumberText(int page)
{
    return QString::number(recordOf(page, 1));
}

QString lastNumberText(int page)
{
    return QString::number(recordOf(page, SlotsPerPage));
}

int keptPage(int page, int pages)
{
    return std::clamp(page, 1, std::max(pages, 1));
}

} // namespace gallery
