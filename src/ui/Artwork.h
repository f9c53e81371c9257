#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Every picture the program shows besides the covers is drawn here at run time, so the program ships no
// image files of its own. All functions need a QGuiApplication.
namespace artwork {

// Rating pictures, size × size pixels on a transparent background: 0 very happy (◎), 1 content smile (○),
// 2 doubtful (△). Any other index gives a null pixmap.
QPixmap ratingFace(int index, int size);

// The help-tour check box's face: bright when checked (QIcon::On), grey when not (QIcon::Off).
QIcon helpTourIcon();

// The pictogram of the main window's button with that objectName (cmdMain, cmdNew, cmdDel, cmdList, cmdHozon,
// cmdIchiran, cmdKensaku, cmdRank, cmdPic, cmdMaster, cmdHelp, cmdEnd), with 24 and 48 pixel versions;
// a null icon for any other name.
QIcon buttonIcon(const QString& objectName);

} // namespace artwork
