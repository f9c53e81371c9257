#pragma once

#include <QByteArray>
#include <QString>

// Runs the exchange readers' properties on one input (decoded: the bytes read as code page 932).
void checkExchange(const QByteArray& bytes, const QString& decoded);
