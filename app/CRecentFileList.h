// The most-recently-used file list of the File menu, kept in the user's settings.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace corvane {
class CRecentFileList {
public:
    static constexpr int kDefaultSize = 8;

    explicit CRecentFileList(int maxSize = kDefaultSize);

    // Puts the file at the top; an entry for the same file moves up instead of repeating.
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Paths() const { return m_paths; }
    int MaxSize() const { return m_nMaxSize; }

    // Group "Recent File List", keys "File1".."File8"; empty and surplus entries are skipped.
    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    // "&1 ~/sounds/rain.wav": a number mnemonic and the path, home shortened, '&' kept literal.
    static QString MenuText(int index, const QString& path, const QString& homePath = {});

private:
    static QString Normalised(const QString& path);

    int m_nMaxSize;
    QStringList m_paths;
};
} // namespace corvane
