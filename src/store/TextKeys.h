#pragma once

#include <QHashFunctions>
#include <QString>
#include <QStringView>

// Keys of hash tables that hold tens of thousands of names or field values, hashed by their code units: for
// such short texts this is several times quicker than the general string hash, and building or searching those
// tables is much of the work of a start, a reload or a backup.
namespace textkey {

inline size_t hash(QStringView text, size_t seed) noexcept
{
    quint64 value = 14695981039346656037ULL ^ seed; // FNV-1a
    for (const QChar c : text)
        value = (value ^ c.unicode()) * 1099511628211ULL;
    // The table takes the low bits: the high ones, which the multiplications mix best, are folded into them.
    return size_t(value ^ (value >> 29) ^ (value >> 47));
}

} // namespace textkey

// A key that views its text, which must outlive it.
struct ViewKey {
    QStringView text;

    bool operator==(const ViewKey& other) const { return text == other.text; }
    friend size_t qHash(const ViewKey& key, size_t seed) noexcept { return textkey::hash(key.text, seed); }
};

// A key that holds its text.
struct TextKey {
    QString text;

    bool operator==(const TextKey& other) const { return text == other.text; }
    friend size_t qHash(const TextKey& key, size_t seed) noexcept { return textkey::hash(key.text, seed); }
};
