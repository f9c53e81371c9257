#pragma once

#include <QList>
#include <QString>

// One line of the collection file.
struct TitleRecord {
    QString title;
    qint16 volumeCount = 0; // volumes in this record, 1 to 50
    qint16 startVolume = 0; // volumes of the same series before this record: 0, 50, 100, ...
    QString author;
    QString magazine;
    QString rating;
    QString firstIssue; // "yyyy/mm/dd"
    QString lastIssue;

    bool operator==(const TitleRecord&) const = default;
};
// Strings and numbers only, so a record moves as its bytes: a table of tens of thousands grows, and has records
// taken out, by moving memory rather than record by record.
Q_DECLARE_TYPEINFO(TitleRecord, Q_RELOCATABLE_TYPE);

// The collection in memory, the only copy there is: record i (1-based) is line i of the collection file,
// page i of the main page and entry i - 1 of the title combo.
class TitleTable final {
public:
    // TitleCount is a 16-bit signed count.
    static constexpr int MaxTitles = 32766;

    int count() const { return int(m_records.size()); }
    bool isEmpty() const { return m_records.isEmpty(); }
    const TitleRecord& at(int index) const { return m_records.at(index - 1); }
    TitleRecord& operator[](int index) { return m_records[index - 1]; }
    bool isValidIndex(int index) const { return index >= 1 && index <= count(); }

    void append(const TitleRecord& record) { m_records.append(record); }
    void append(TitleRecord&& record) { m_records.append(std::move(record)); }
    void append(QList<TitleRecord>&& records) { m_records.append(std::move(records)); }
    void removeAt(int index) { m_records.removeAt(index - 1); }
    void clear() { m_records.clear(); }
    void reserve(int n) { m_records.reserve(n); }

    // First index whose title equals title exactly (case-sensitive), or 0 when there is none.
    int indexOfTitle(const QString& title) const;

    const QList<TitleRecord>& records() const { return m_records; }

    // Takes table's records in place of these, which are freed on a worker thread: a collection read anew frees
    // tens of thousands of strings, several milliseconds of the window's time, and nothing waits on them.
    void replaceWith(TitleTable&& table);

private:
    QList<TitleRecord> m_records;
};
