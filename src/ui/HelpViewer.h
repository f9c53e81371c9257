#pragma once

#include <QString>

// Opens and closes the help file. Opening reports nothing to the user when it fails.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    // Opens the file at path; returns false when it could not be shown.
    virtual bool open(const QString& path) = 0;
    // Closes every help window this viewer opened.
    virtual void closeAll() = 0;
};
