#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Reads the QR codes in an image with zbar, as a phone's camera would: the bytes of every code found, in zbar's
// order. The image may be any format and scale; it is turned into 8-bit grey first.
QList<QByteArray> decodeQrCodes(const QImage& image);
