#pragma once

#include <QComboBox>
#include <QTest>

// Chooses text from a combo's list as a user does: the item becomes current and the choice is announced.
inline void chooseItem(QComboBox* combo, const QString& text)
{
    const int row = combo->findText(text);
    QVERIFY2(row >= 0, qPrintable(text));
    combo->setCurrentIndex(row);
    emit combo->activated(row);
}
