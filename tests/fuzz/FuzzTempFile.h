// One scratch file per fuzzing process: each input overwrites it, so the
// targets exercise the real file-reading paths without creating a file per run.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>

namespace przenosnik::fuzz {

class ScratchDirectory
{
public:
    static ScratchDirectory& instance()
    {
        static ScratchDirectory directory;
        return directory;
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

    // Replaces the file's content; aborts when the scratch space is unusable,
    // since every later input would then test nothing.
    QString write(const QString& name, const QByteArray& content) const
    {
        const QString path = filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
            std::abort();
        return path;
    }

private:
    ScratchDirectory()
    {
        if (!m_dir.isValid())
            std::abort();
    }
    QTemporaryDir m_dir;
};

} // namespace przenosnik::fuzz
