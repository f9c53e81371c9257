#pragma once

#include <QByteArray>
#include <QString>

// The one text encoding of every data file: Windows code page 932 (Shift-JIS with the NEC and IBM
// extensions), as Windows itself maps it (0x8160 is U+FF5E, 0x817C is U+FF0D).
namespace cp932 {

// False when the platform's converter for code page 932 is missing; nothing can be read or written then.
bool isAvailable();

struct Decoded {
    QString text;
    // Byte offset of the first byte sequence that is not code page 932 (a lead byte cut off at the end
    // included), or -1 when the whole input decoded cleanly.
    qsizetype badOffset = -1;
    bool ok() const { return badOffset < 0; }
};
Decoded decode(const QByteArray& bytes);

// Replaces the characters that Linux input methods type where Windows has a twin (U+301C for U+FF5E,
// U+2212 for U+FF0D, ...) by the Windows form, so that they can be stored.
QString toWindowsForm(const QString& text);

struct Encoded {
    QByteArray bytes;
    // Every distinct character that code page 932 cannot hold, in order of first appearance, a lone surrogate
    // as U+FFFD; empty when the encoding is exact. When it is not empty, bytes must not be written anywhere.
    QString unencodable;
    bool ok() const { return unencodable.isEmpty(); }
};
// Encodes after toWindowsForm.
Encoded encode(const QString& text);
// Writes the bytes encode(text) gives at out, which has room for 2 * text.size() bytes, and returns their end:
// for text put into a buffer of its caller's, without a string per piece. nullptr when a character is one that
// only encode() handles (one that cannot be stored among them); what was written then means nothing.
char* encodeInto(QStringView text, char* out);

// True when the table holds every character of text, so that encode() gives its bytes and nothing is
// unencodable; false leaves it to encode() to tell.
bool encodesByTable(QStringView text);

// A Japanese sentence naming the characters that cannot be stored, for a message box.
QString unencodableMessage(const QString& characters);

} // namespace cp932
