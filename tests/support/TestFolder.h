#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary working folder that is the current folder for the test's lifetime, with helpers to write
// and read its files as raw bytes (code page 932, the way the data files are kept).
class TestFolder final {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    QString path() const { return m_dir.path(); }
    bool isValid() const { return m_dir.isValid(); }

    // Writes text encoded as code page 932, exactly as given (line ends included).
    void writeText(const QString& name, const QString& text);
    void writeBytes(const QString& name, const QByteArray& bytes);
    QByteArray readBytes(const QString& name) const;
    bool exists(const QString& name) const;
    // Every file name in the folder, sorted.
    QStringList files() const;

    // Encodes text as code page 932 (for comparing with file bytes).
    static QByteArray cp932(const QString& text);

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
