#pragma once

#include "store/AtomicFileWriter.h"

#include <QString>
#include <utility>

// A writer that fails as a full disk would: every write, or only the writes of paths ending in suffix (letter
// case counts), the other files written atomically as usual.
class FailingWriter final : public FileWriter {
public:
    static inline const QString Reason = QStringLiteral("ディスクがいっぱいです");

    explicit FailingWriter(QString suffix = QString()) : m_suffix(std::move(suffix)) {}
    QString writeAtomically(const QString& path, const QByteArray& data) override
    {
        if (m_suffix.isEmpty() || path.endsWith(m_suffix))
            return Reason;
        return m_real.writeAtomically(path, data);
    }

private:
    QString m_suffix;
    AtomicFileWriter m_real;
};
