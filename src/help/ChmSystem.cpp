#include "help/ChmSystem.h"

#include "help/HelpText.h"

#include <QtEndian>

namespace {

// The record's entries: a 32-bit version, then entries of a 16-bit code, a 16-bit length and that many bytes.
enum Code : quint16 { ContentsFile = 0, IndexFile = 1, DefaultTopic = 2, Title = 3, Language = 4 };

} // namespace

ChmSystemInfo ChmSystemInfo::parse(const QByteArray& record)
{
    ChmSystemInfo info;
    QByteArray texts[4];
    qsizetype p = 4;
    while (p + 4 <= record.size()) {
        const quint16 code = qFromLittleEndian<quint16>(record.constData() + p);
        const quint16 length = qFromLittleEndian<quint16>(record.constData() + p + 2);
        p += 4;
        if (p + length > record.size())
            break;
        const QByteArray data = record.mid(p, length);
        p += length;
        if (code <= Title) {
            const qsizetype nul = data.indexOf('\0');
            texts[code] = nul >= 0 ? data.left(nul) : data;
        } else if (code == Language && length >= 4) {
            info.lcid = qFromLittleEndian<quint32>(data.constData());
        }
    }
    // The texts are in the code page of the file's language unless they are valid UTF-8.
    info.contentsFile = helptext::decode(texts[ContentsFile], info.lcid);
    info.indexFile = helptext::decode(texts[IndexFile], info.lcid);
    info.defaultTopic = helptext::decode(texts[DefaultTopic], info.lcid);
    info.title = helptext::decode(texts[Title], info.lcid);
    return info;
}
