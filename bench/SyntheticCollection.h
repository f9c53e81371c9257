#pragma once

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A complete working folder of titleCount titles in a temporary folder, removed with the object: the
// collection file, one volume file per title, covers for the first titles and NOPIC.JPG, memos for some
// titles, the settings file (tour off) and a favourite ranking. The folder is made in base, and so are the
// scratch folders the lines over it make, so that a line and its floor meet the same file system.
class SyntheticCollection final {
public:
    static constexpr int CoveredTitles = 100;
    static constexpr int RankedTitles = 300;

    explicit SyntheticCollection(int titleCount, const QString& base = QDir::tempPath());

    // Empty when every file was written; else what went wrong.
    QString error() const { return m_error; }
    QString path() const { return m_dir.path(); }
    // The template of a fresh scratch folder beside the collection, for QTemporaryDir.
    QString scratchTemplate() const { return scratchTemplateIn(m_base); }
    static QString scratchTemplateIn(const QString& base) { return base + QStringLiteral("/tanamiru_bench-XXXXXX"); }
    int titleCount() const { return m_titleCount; }

    QString title(int index) const;
    bool hasCover(int index) const { return index <= CoveredTitles; }
    bool hasMemo(int index) const { return index % 50 == 1; }

    // The files a program must read to show start-up page 1, and to show page index.
    QStringList startupFiles() const;
    QStringList pageFiles(int index) const;
    // The picture page index shows: its own cover, else NOPIC.JPG.
    QString coverFileName(int index) const;

private:
    void writeFile(const QString& name, const QByteArray& bytes);
    void writeText(const QString& name, const QString& text);
    void writeCollection();
    void writeTitleFiles();
    void writePictures();

    QString m_base;
    QTemporaryDir m_dir;
    int m_titleCount;
    QString m_error;
};
