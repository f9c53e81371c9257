#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class CollectionStore;

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

// Asks the user the overwrite question with the text given; true to go on.
using Confirm = std::function<bool(const QString& question)>;

// How an import ended. Refused: the title or the file's kind cannot be taken, before anything was read.
// Failed: the file cannot be read, is no picture or is too large, or the cover could not be written; nothing
// was changed. Imported with a message: the new cover is in place but an older one that the lookup prefers
// could not be removed.
struct Outcome {
    enum Kind { Imported, Cancelled, Refused, Failed };
    Kind kind = Failed;
    QString message;
};

// Runs write, the step that changes files once the user has agreed, and returns its outcome: the window makes it
// an undo step. The default runs it as it is.
using Wrap = std::function<Outcome(const std::function<Outcome()>& write)>;

// Imports the file at sourcePath, or a pasted picture, as the cover of title. The file is decoded before
// anything is written, so that only a picture can replace a cover. Afterwards the title shows the picture
// imported: an existing cover it would replace, and any cover the lookup prefers to it (title.bmp over
// title.gif over title.jpg), is named in the question first; on OK the new cover is written atomically and
// only then are those preferred ones removed.
Outcome importFile(CollectionStore& store, const QString& title, const QString& sourcePath, const Confirm& confirm,
                   const Wrap& wrap = {});
Outcome importPicture(CollectionStore& store, const QString& title, const QImage& image, const Confirm& confirm,
                      const Wrap& wrap = {});

} // namespace coverimport
