#pragma once

#include <QByteArray>
#include <QString>

// What a help file's system record says about it: its title, language, first page and the names of its
// contents and index files. Any of them may be missing; a damaged record gives what could be read before the
// damage.
struct ChmSystemInfo {
    QString title;
    QString defaultTopic;
    QString contentsFile;
    QString indexFile;
    quint32 lcid = 0; // the language, e.g. 0x411 for Japanese; 0 when unknown

    static ChmSystemInfo parse(const QByteArray& record);
};
