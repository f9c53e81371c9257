#include "support/TestFolder.h"

#include "store/Cp932.h"

#include <QFile>

TestFolder::TestFolder() : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TestFolder::~TestFolder()
{
    QDir::setCurrent(m_previous);
}

void TestFolder::writeText(const QString& name, const QString& text)
{
    writeBytes(name, cp932(text));
}

void TestFolder::writeBytes(const QString& name, const QByteArray& bytes)
{
    QFile file(QDir(path()).filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray TestFolder::readBytes(const QString& name) const
{
    QFile file(QDir(path()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TestFolder::exists(const QString& name) const
{
    return QFile::exists(QDir(path()).filePath(name));
}

QStringList TestFolder::files() const
{
    return QDir(path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray TestFolder::cp932(const QString& text)
{
    return cp932::encode(text).bytes;
}
