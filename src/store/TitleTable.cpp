#include "store/TitleTable.h"

int TitleTable::indexOfTitle(const QString& title) const
{
    for (int i = 0; i < m_records.size(); ++i) {
        if (m_records[i].title == title)
            return i + 1;
    }
    return 0;
}
