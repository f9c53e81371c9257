#pragma once

#include "ui/ClickableLabel.h"

#include <QImage>

class QMimeData;

// The main page's cover picture. Besides a click, it takes a picture given to it: a file dropped from the desktop
// or a file manager, or what Ctrl+V pastes while the main page is shown (a copied file, or a picture copied
// from a browser or an image program). Which files are picture files the receiver decides; only local files
// are taken, since the program never reaches the network.
class CoverLabel final : public ClickableLabel {
    Q_OBJECT
public:
    explicit CoverLabel(QWidget* parent = nullptr);

    // Passes on what data carries: the first local file, else the picture. Returns false when it carries
    // neither.
    bool take(const QMimeData* data);

signals:
    void fileGiven(const QString& path);
    void imageGiven(const QImage& image);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void paste();
};
