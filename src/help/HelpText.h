#pragma once

#include <QByteArray>
#include <QString>

// Text of the pages inside a help file: decoding, entities, and the plain text that searches read.
namespace helptext {

// The text of an HTML page or sitemap. The charset the page names wins; else UTF-8 when the bytes are valid
// UTF-8; else the code page of the help file's language (lcid), so that files made on Japanese Windows (code
// page 932) read correctly. Bytes that do not decode become U+FFFD; nothing fails.
QString decode(const QByteArray& bytes, quint32 lcid);

// The charset named in the page's first 4 KiB ("<meta charset=...>" or "content=...; charset=..."), lower
// case, or an empty string.
QByteArray declaredCharset(const QByteArray& bytes);

// "&amp;", "&lt;", "&#12354;", "&#x3042;" and the other common named entities replaced by their characters;
// anything unknown is left as written.
QString decodeEntities(const QString& text);

// The page's <title>, entities decoded and white space collapsed; empty when it has none.
QString title(const QString& html);

// What a reader sees of the page: tags, declarations, comments, scripts, style sheets and the <title> removed,
// entities decoded, white space collapsed to single spaces.
QString plainText(const QString& html);

} // namespace helptext
