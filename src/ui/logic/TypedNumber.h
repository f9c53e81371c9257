#pragma once

#include <QString>

// Numbers as a user types them. With the input method on, digits arrive full width ("１２"); they mean the same
// number as their half-width forms and must never be taken for "no number".
namespace typednumber {

// text with the full-width digits ０ to ９, the full-width plus and minus signs (and the minus sign U+2212 that
// Linux input methods type) and the ideographic space replaced by their half-width forms; every other
// character as it stands.
QString halfWidthDigits(const QString& text);

// The leading decimal number of a text, read after halfWidthDigits: blanks and tabs before it skipped, an
// optional sign, then digits; what follows the digits is ignored ("12巻" and "12.9" are 12), and a text without
// a leading number gives 0. Beyond the 64-bit range the value stops at its largest magnitude.
qint64 leadingNumber(const QString& text);

} // namespace typednumber
