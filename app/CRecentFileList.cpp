// The most-recently-used file list of the File menu, kept in the user's settings.
#include "app/CRecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace corvane {
namespace {
const QString kGroup = QStringLiteral("Recent File List");

QString KeyFor(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

CRecentFileList::CRecentFileList(int maxSize) : m_nMaxSize(maxSize) {}

QString CRecentFileList::Normalised(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    const QString full = Normalised(path);
    m_paths.removeAll(full);
    m_paths.prepend(full);
    while (m_paths.size() > m_nMaxSize)
        m_paths.removeLast();
}

void CRecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_paths.size())
        m_paths.removeAt(index);
}

void CRecentFileList::Load(QSettings& settings)
{
    m_paths.clear();
    settings.beginGroup(kGroup);
    for (int i = 0; i < m_nMaxSize; ++i) {
        const QString path = settings.value(KeyFor(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
    settings.endGroup();
}

void CRecentFileList::Save(QSettings& settings) const
{
    settings.beginGroup(kGroup);
    for (int i = 0; i < m_nMaxSize; ++i) {
        if (i < m_paths.size())
            settings.setValue(KeyFor(i), m_paths[i]);
        else
            settings.remove(KeyFor(i));
    }
    settings.endGroup();
    settings.sync();
}

QString CRecentFileList::MenuText(int index, const QString& path, const QString& homePath)
{
    const QString home = homePath.isEmpty() ? QDir::homePath() : homePath;
    QString shown = QDir::toNativeSeparators(path);
    if (home != QStringLiteral("/") && shown.startsWith(home + QLatin1Char('/')))
        shown = QStringLiteral("~") + shown.mid(home.size());
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    // Slots 1..9 get a mnemonic digit; the list holds at most eight by default.
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}
} // namespace corvane
