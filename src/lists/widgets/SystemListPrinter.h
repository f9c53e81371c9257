#pragma once

#include "lists/ListPrinting.h"

// Prints on the system's default printer with its own defaults for paper, margins and font.
class SystemListPrinter final : public ListPrinter {
public:
    QString print(const QList<listprint::Line>& lines) override;
    QString printPages(const listprint::PagePainter& paint) override;
};
