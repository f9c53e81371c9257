#include "ui/logic/MainPageLogic.h"

#include "store/CollectionStore.h"
#include "ui/logic/TypedNumber.h"

#include <algorithm>

namespace mainpage {

QColor volumeColor(qint16 state)
{
    if (state == 0)
        return VolumeColorCollected;
    if (state == 1)
        return VolumeColorMissing;
    return VolumeColorOther;
}

int numericValue(const QString& text)
{
    // Far beyond any count or volume number; keeps the arithmetic of the callers bounded.
    constexpr qint64 Bound = 1000000;
    return int(std::clamp(typednumber::leadingNumber(text), -Bound, Bound));
}

int faceIndex(const QString& rating)
{
    if (rating == QStringLiteral("○"))
        return 1;
    if (rating == QStringLiteral("△"))
        return 2;
    return 0;
}

std::array<VolumeCell, 51> layoutVolumes(const QString& countText, const QString& startText, const VolumeStates& states)
{
    std::array<VolumeCell, 51> cells;
    const int shown = numericValue(countText);
    const int first = numericValue(startText);
    for (int k = 1; k <= volumefile::Volumes && k <= shown; ++k) {
        cells[k].visible = true;
        cells[k].caption = QString::number(k + first - 1);
        cells[k].color = volumeColor(states[k]);
    }
    return cells;
}

qint16 toggledState(qint16 state)
{
    return state == 0 ? 1 : 0;
}

QString pageCounter(int index, int titleCount)
{
    return QString::number(titleCount == 0 ? 0 : index) + QStringLiteral(" / ") + QString::number(titleCount);
}

QString volumeFileName(const QString& title)
{
    return title + CollectionStore::VolumeSuffix;
}

PageFields pageFields(const TitleRecord& record)
{
    PageFields f;
    f.title = record.title;
    f.volumeCount = QString::number(record.volumeCount);
    f.startVolume = QString::number(record.startVolume + 1);
    f.author = record.author;
    f.magazine = record.magazine;
    f.rating = record.rating;
    f.firstIssue = record.firstIssue;
    f.lastIssue = record.lastIssue;
    f.face = faceIndex(record.rating);
    return f;
}

} // namespace mainpage
