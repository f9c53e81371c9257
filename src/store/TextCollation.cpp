#include "store/TextCollation.h"

#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <unicode/ucol.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

namespace collation {

namespace {

struct CloseCollator {
    void operator()(UCollator* c) const { ucol_close(c); }
};

// The settings QCollator applies to a case-sensitive ja_JP collator. Null when the collation data cannot be
// loaded: then names order by their code units alone, which is still one fixed order.
UCollator* openCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("ja_JP", &status);
    if (U_FAILURE(status))
        return nullptr;
    ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
    ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    if (U_FAILURE(status)) {
        ucol_close(c);
        return nullptr;
    }
    return c;
}

// A collator may not be shared between threads, and opening one loads locale data: one per thread.
UCollator* collator()
{
    thread_local const std::unique_ptr<UCollator, CloseCollator> instance(openCollator());
    return instance.get();
}

const UChar* units(QStringView s)
{
    return reinterpret_cast<const UChar*>(s.utf16());
}

constexpr size_t WordSize = 8;

// A value's collation key. It ends with its only zero byte.
struct Key {
    const uint8_t* bytes;
    size_t length;
};

// One value of a list being sorted: the eight bytes of its key at the depth being sorted, as one number that
// orders like them. Past the key's end a word reads zeros. Small, so that the sort moves little memory.
struct Entry {
    quint64 word;
    quint32 at;
};

quint64 wordAt(const Key& key, size_t depth)
{
    quint64 word = 0;
    for (size_t i = depth; i < depth + WordSize; ++i)
        word = word << 8 | (i < key.length ? key.bytes[i] : 0);
    return word;
}

// A list being sorted: its values, their keys and its entries, in the values' order until sorted.
struct SortList {
    const QStringList* values;
    std::vector<Key> keys;
    std::vector<Entry> entries;
};

// The keys of a run of one list's values, written end to end into a buffer the run owns.
struct Chunk {
    SortList* list;
    qsizetype begin;
    qsizetype end;
    std::vector<uint8_t> bytes;
};

void computeKeys(Chunk& chunk)
{
    UCollator* c = collator();
    std::vector<uint8_t>& bytes = chunk.bytes;
    std::vector<size_t> offsets;
    offsets.reserve(size_t(chunk.end - chunk.begin));
    bytes.resize(size_t(chunk.end - chunk.begin) * 32 + 64);
    size_t used = 0;
    for (qsizetype i = chunk.begin; i < chunk.end; ++i) {
        offsets.push_back(used);
        const QString& value = chunk.list->values->at(i);
        const auto length = int32_t(value.size());
        if (bytes.size() - used < size_t(4 * length) + 16)
            bytes.resize(bytes.size() * 2 + size_t(4 * length) + 16);
        int32_t written = 1;
        if (c) {
            const auto room = [&] { return int32_t(std::min<size_t>(bytes.size() - used, INT32_MAX)); };
            written = ucol_getSortKey(c, units(value), length, bytes.data() + used, room());
            if (written > room()) {
                bytes.resize(bytes.size() + size_t(written));
                written = ucol_getSortKey(c, units(value), length, bytes.data() + used, room());
            }
        } else {
            bytes[used] = 0; // no collation: every key is empty, and code units decide
        }
        used += size_t(written);
    }
    // The buffer no longer grows: now the keys may point into it.
    for (qsizetype i = chunk.begin; i < chunk.end; ++i) {
        const size_t offset = offsets[size_t(i - chunk.begin)];
        const size_t next = i + 1 < chunk.end ? offsets[size_t(i + 1 - chunk.begin)] : used;
        const Key key{bytes.data() + offset, next - offset};
        chunk.list->keys[size_t(i)] = key;
        chunk.list->entries[size_t(i)] = {wordAt(key, 0), quint32(i)};
    }
}

// Sorts entries whose keys agree before depth: by the word at depth, then each run of equal words by the next
// word. Comparisons stay on numbers held in the entries, without following a key pointer.
void sortFrom(Entry* begin, Entry* end, size_t depth, const SortList& list)
{
    std::sort(begin, end, [](const Entry& a, const Entry& b) { return a.word < b.word; });
    for (Entry* run = begin; run != end;) {
        Entry* runEnd = run + 1;
        while (runEnd != end && runEnd->word == run->word)
            ++runEnd;
        if (runEnd - run > 1) {
            if (list.keys[run->at].length <= depth + WordSize) {
                // The keys ended in this word, all at the same byte: equal keys.
                std::sort(run, runEnd, [&list](const Entry& a, const Entry& b) {
                    const int order = (*list.values)[a.at].compare((*list.values)[b.at]);
                    return order != 0 ? order < 0 : a.at < b.at;
                });
            } else {
                for (Entry* e = run; e != runEnd; ++e)
                    e->word = wordAt(list.keys[e->at], depth + WordSize);
                sortFrom(run, runEnd, depth + WordSize, list);
            }
        }
        run = runEnd;
    }
}

// Runs work(0) to work(count - 1) on the calling thread and on pool threads, each item once. Waiting for a
// helper that has not started runs it here (it then finds nothing left), so a busy pool only slows it down.
template <typename Work> void shareOut(size_t count, const Work& work)
{
    std::atomic<size_t> next{0};
    const auto drain = [&] {
        for (size_t i = next++; i < count; i = next++)
            work(i);
    };
    const size_t helpers = std::min<size_t>(size_t(std::max(QThreadPool::globalInstance()->maxThreadCount(), 1)),
                                            count) - std::min<size_t>(count, 1);
    QList<QFuture<void>> running;
    for (size_t h = 0; h < helpers; ++h)
        running.append(QtConcurrent::run(drain));
    drain();
    for (QFuture<void>& helper : running)
        helper.waitForFinished();
}

} // namespace

int compare(QStringView a, QStringView b)
{
    if (UCollator* c = collator()) {
        const UCollationResult order = ucol_strcoll(c, units(a), int32_t(a.size()), units(b), int32_t(b.size()));
        if (order != UCOL_EQUAL)
            return order == UCOL_LESS ? -1 : 1;
    }
    return a.compare(b);
}

std::vector<std::vector<qsizetype>> sortedPositionsOfEach(const std::vector<const QStringList*>& lists)
{
    // Runs small enough for both cores to share the work evenly, large enough that each costs one allocation.
    constexpr qsizetype ChunkSize = 2048;
    std::vector<SortList> sorting(lists.size());
    std::vector<Chunk> chunks;
    for (size_t l = 0; l < lists.size(); ++l) {
        SortList& list = sorting[l];
        list.values = lists[l];
        list.keys.resize(size_t(list.values->size()));
        list.entries.resize(size_t(list.values->size()));
        for (qsizetype begin = 0; begin < list.values->size(); begin += ChunkSize)
            chunks.push_back({&list, begin, std::min(begin + ChunkSize, list.values->size()), {}});
    }
    shareOut(chunks.size(), [&chunks](size_t i) { computeKeys(chunks[i]); });
    shareOut(sorting.size(), [&sorting](size_t i) {
        SortList& list = sorting[i];
        sortFrom(list.entries.data(), list.entries.data() + list.entries.size(), 0, list);
    });

    std::vector<std::vector<qsizetype>> positions(lists.size());
    for (size_t l = 0; l < lists.size(); ++l) {
        positions[l].reserve(sorting[l].entries.size());
        for (const Entry& e : sorting[l].entries)
            positions[l].push_back(qsizetype(e.at));
    }
    return positions;
}

std::vector<qsizetype> sortedPositions(const QStringList& values)
{
    return std::move(sortedPositionsOfEach({&values}).front());
}

} // namespace collation
