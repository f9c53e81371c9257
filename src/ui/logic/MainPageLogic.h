#pragma once

#include "store/DataFiles.h"
#include "store/TitleTable.h"

#include <QColor>
#include <QString>
#include <array>

namespace mainpage {

inline const QColor VolumeColorCollected = QColor(192, 255, 192);
inline const QColor VolumeColorMissing = QColor(255, 192, 255);
inline const QColor VolumeColorOther = QColor(0, 0, 0);

QColor volumeColor(qint16 state);

// The leading decimal number of a text (typednumber::leadingNumber, so full-width digits count), 0 when there
// is none: "12" and "１２" are 12, "12巻" is 12, "" and "abc" are 0.
int numericValue(const QString& text);

// Which of the three rating faces shows a rating: 1 for "○", 2 for "△", 0 for "◎" and for anything else.
int faceIndex(const QString& rating);

// One volume label of the grid.
struct VolumeCell {
    bool visible = false;
    QString caption;
    QColor color;
};
// Labels 1 to 50 laid out from the texts of the volume-count and split boxes: label k is shown while
// k <= numericValue(countText), captioned k + numericValue(startText) - 1 and coloured by its state.
std::array<VolumeCell, 51> layoutVolumes(const QString& countText, const QString& startText,
                                         const VolumeStates& states);

// The new state of a clicked volume: collected becomes missing, missing and anything else collected.
qint16 toggledState(qint16 state);

// "i / TitleCount", with i 0 when the table is empty.
QString pageCounter(int index, int titleCount);

// Name of the volume file of a title.
QString volumeFileName(const QString& title);

// What the page shows for record index (the texts of the field boxes, in the order they are set).
struct PageFields {
    QString title;
    QString volumeCount;
    QString startVolume;
    QString author;
    QString magazine;
    QString rating;
    QString firstIssue;
    QString lastIssue;
    int face = 0;
};
PageFields pageFields(const TitleRecord& record);

} // namespace mainpage
