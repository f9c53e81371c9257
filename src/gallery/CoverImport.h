#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

class DataFolder;

// Copying a picture file in as a title's cover. The cover lookup knows title.jpg, .gif and .bmp only: .jpg and
// .bmp files are copied byte for byte under the title's name with the source's own extension (its letter case
// kept); a .jpeg file is copied byte for byte as title.jpg; .png and .webp pictures are converted to JPEG and
// saved as title.jpg. Every write goes through the data folder: atomic, and under the spelling a file of that
// name already has on disk, so that no two covers differ only in letter case.
namespace coverimport {

// The name patterns of the pictures offered for import (letter case is ignored when matching): *.jpg, *.bmp,
// *.jpeg, *.png, and *.webp when this Qt can read WebP.
QStringList nameFilters();

// What importing a file named sourceName for title does.
struct Plan {
    QString destination;  // file name in the data folder
    bool convert = false; // decode and save as JPEG, rather than copy the bytes
    QString problem;      // why it cannot be done; then the other fields are empty
};
Plan plan(const QString& title, const QString& sourceName);
// The plan for a picture that comes without a file (pasted): always converted, title.jpg.
Plan planForPicture(const QString& title);

// True when sourcePath is the file that destination names in the folder already: copying would do nothing.
bool isSameFile(const DataFolder& folder, const QString& sourcePath, const QString& destination);

// The bytes a cover will hold: the file read whole, converted when plan says so, or a picture encoded as JPEG.
// problem holds the reason in Japanese naming the file (unreadable, not a picture) when there are none.
struct Prepared {
    QByteArray bytes;
    QString problem;
};
Prepared prepareFile(const QString& sourcePath, const Plan& plan);
Prepared preparePicture(const QImage& image);

// Writes the cover under plan's destination, atomically. Returns an empty string, or the reason in Japanese
// naming the file (the folder not writable, the disk full); on failure an existing cover is left whole.
QString write(DataFolder& folder, const Plan& plan, const QByteArray& bytes);

} // namespace coverimport
