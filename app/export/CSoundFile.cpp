// Reading and writing .corvane sound files.
#include "app/export/CSoundFile.h"

#include "app/export/CSoundVocabulary.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Decodes one line; false when it is not UTF-8 text (bad bytes, NUL or other control characters).
bool DecodeLine(const QByteArray& raw, QString* pLine)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *pLine = decoder.decode(raw);
    if (decoder.hasError()) {
        return false;
    }
    for (const QChar c : *pLine) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r')) {
            return false;
        }
    }
    return true;
}

// A value up to a comment: '#' or ';' after a blank ends it (no value contains either).
QString WithoutComment(const QString& text)
{
    for (qsizetype i = 1; i < text.size(); ++i) {
        if ((text[i] == QLatin1Char('#') || text[i] == QLatin1Char(';')) && text[i - 1].isSpace()) {
            return text.left(i).trimmed();
        }
    }
    return text.trimmed();
}

} // namespace

bool CSoundFile::Parse(const QByteArray& bytes, const QString& fileName, CExportOptions* pSound,
                       QStringList* pWarnings, QString* pError)
{
    const auto refuse = [&](int line, const QString& what) {
        *pError = QStringLiteral("%1, line %2: %3").arg(fileName).arg(line).arg(what);
        return false;
    };
    if (bytes.size() > kMaxBytes) {
        *pError = QStringLiteral("%1: too large for a sound file (%2 bytes; at most %3)")
                      .arg(fileName)
                      .arg(bytes.size())
                      .arg(kMaxBytes);
        return false;
    }
    CExportOptions sound = *pSound;
    QStringList warnings;
    QHash<QString, int> seenOn; // key -> line it was first given on
    QString group;              // the group the current line belongs to; empty before the first
    bool inSound = false;
    bool sawSound = false;
    int firstGroupLine = 0;
    QString firstGroup;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int n = i + 1;
        QByteArray raw = lines[i];
        if (i == 0 && raw.startsWith("\xEF\xBB\xBF")) {
            raw.remove(0, 3); // a byte-order mark some editors write
        }
        QString text;
        if (!DecodeLine(raw, &text)) {
            return refuse(n, QStringLiteral("not UTF-8 text (a sound file is a text file)"));
        }
        const QString line = text.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3) {
                return refuse(n, QStringLiteral("'%1' is not a group name (accepted: [%2])").arg(line, QLatin1String(kGroup)));
            }
            group = line.mid(1, line.size() - 2).trimmed();
            inSound = group.compare(QLatin1String(kGroup), Qt::CaseInsensitive) == 0;
            sawSound = sawSound || inSound;
            if (firstGroupLine == 0) {
                firstGroupLine = n;
                firstGroup = group;
            }
            if (!inSound) {
                warnings << QStringLiteral("%1, line %2: group [%3] ignored").arg(fileName).arg(n).arg(group);
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = line.left(eq).trimmed();
        if (eq < 0 || key.isEmpty()) {
            return refuse(n, QStringLiteral("'%1' is not a setting (accepted: KEY=VALUE)").arg(line));
        }
        if (group.isEmpty()) {
            return refuse(n, QStringLiteral("key '%1' comes before the [%2] group a sound file starts with")
                                 .arg(key, QLatin1String(kGroup)));
        }
        if (!inSound) {
            continue; // the group was reported once
        }
        const QString value = WithoutComment(line.mid(eq + 1));
        const QString keyLower = key.toLower();
        if (seenOn.contains(keyLower)) {
            return refuse(n, QStringLiteral("key '%1': given twice (first on line %2)").arg(key).arg(seenOn[keyLower]));
        }
        seenOn.insert(keyLower, n);
        if (keyLower == QLatin1String("format")) {
            bool ok = false;
            const int format = value.toInt(&ok);
            if (!ok || format < 1) {
                return refuse(n, QStringLiteral("key 'format': invalid value '%1' (accepted: %2)").arg(value).arg(kFormat));
            }
            if (format > kFormat) {
                return refuse(n, QStringLiteral("key 'format': the sound is of format %1, newer than this Corvane "
                                                "reads (accepted: %2)")
                                     .arg(format)
                                     .arg(kFormat));
            }
            continue;
        }
        const CSoundVocabulary::Key* known = CSoundVocabulary::Find(key);
        if (known == nullptr) {
            warnings << QStringLiteral("%1, line %2: unknown key '%3' ignored").arg(fileName).arg(n).arg(key);
            continue;
        }
        if (!known->parse(value, sound, known->index)) {
            return refuse(n, QStringLiteral("key '%1': invalid value '%2' (accepted: %3)")
                                 .arg(known->name, value, known->accepted));
        }
    }
    if (firstGroupLine > 0 && !sawSound) {
        // Groups, but no [Sound] among them: some other INI file, not a sound.
        return refuse(firstGroupLine, QStringLiteral("[%1] is not a sound's group, and the file has no [%2] group")
                                          .arg(firstGroup, QLatin1String(kGroup)));
    }
    *pSound = sound;
    if (pWarnings != nullptr) {
        *pWarnings << warnings;
    }
    return true;
}

bool CSoundFile::Load(const QString& path, CExportOptions* pSound, QStringList* pWarnings, QString* pError)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        *pError = QStringLiteral("%1 is a folder, not a sound file").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *pError = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    // One byte more than allowed is enough to know the file is too large.
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *pError = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return Parse(bytes, path, pSound, pWarnings, pError);
}

QByteArray CSoundFile::Text(const CExportOptions& sound)
{
    QString text = QStringLiteral("# Corvane sound. A key left out keeps its start-up setting.\n[%1]\nformat=%2\n")
                       .arg(QLatin1String(kGroup))
                       .arg(kFormat);
    for (const CSoundVocabulary::Key& key : CSoundVocabulary::Keys()) {
        if (const std::optional<QString> value = key.format(sound, key.index)) {
            text += key.name + QLatin1Char('=') + *value + QLatin1Char('\n');
        }
    }
    return text.toUtf8();
}

bool CSoundFile::Save(const QString& path, const CExportOptions& sound, QString* pError)
{
    QSaveFile file(path);
    // An existing writable file in a folder that takes no new files can still be saved.
    file.setDirectWriteFallback(true);
    const QByteArray text = Text(sound);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        *pError = QStringLiteral("Cannot save %1: %2.").arg(path, file.errorString());
        return false;
    }
    return true;
}
