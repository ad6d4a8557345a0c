// Finds the ready-made sounds and turns their file names into menu names and back.
#include "app/CSoundLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
const QString kSuffix = QStringLiteral(".corvane");

// Compares names the way a person types them: case and dashes against blanks do not matter.
QString Folded(const QString& name)
{
    return name.trimmed().toLower().replace(QLatin1Char('-'), QLatin1Char(' '));
}
} // namespace

CSoundLibrary::CSoundLibrary(const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            m_folder = QDir(folder).absolutePath();
            break;
        }
    }
}

QStringList CSoundLibrary::DefaultFolders()
{
    QStringList folders;
    if (QCoreApplication::instance() != nullptr)
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/corvane/sounds");
    folders << QStringLiteral(CORVANE_SOURCE_SOUNDS_DIR);
    return folders;
}

QString CSoundLibrary::NameOf(const QString& fileStem)
{
    static const QStringList kSmallWords = {"a", "an", "and", "at", "by", "for", "in", "of", "on", "the", "to"};
    QStringList words = fileStem.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    for (int i = 0; i < words.size(); ++i) {
        QString& word = words[i];
        if (i == 0 || !kSmallWords.contains(word.toLower()))
            word[0] = word[0].toUpper();
    }
    return words.join(QLatin1Char(' '));
}

QStringList CSoundLibrary::Stems() const
{
    if (m_folder.isEmpty())
        return {};
    QStringList stems;
    for (const QFileInfo& file : QDir(m_folder).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files))
        stems << file.completeBaseName();
    return stems;
}

QStringList CSoundLibrary::Names() const
{
    QStringList names;
    for (const QString& stem : Stems())
        names << NameOf(stem);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QString CSoundLibrary::PathOf(const QString& name) const
{
    const QString wanted = Folded(name);
    if (wanted.isEmpty())
        return {};
    for (const QString& stem : Stems()) {
        if (Folded(stem) == wanted)
            return QDir(m_folder).filePath(stem + kSuffix);
    }
    return {};
}
