// A .corvane sound file: UTF-8 INI text whose [Sound] group holds the export options' keys
// with their values, e.g. "cutoff=2500". Read by a reader of our own rather than QSettings, so
// that a refusal can name the line and the key, and nothing is applied from a file that is
// refused.
#pragma once

#include "app/export/CExportOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class CSoundFile {
public:
    static constexpr qint64 kMaxBytes = 64 * 1024;
    static constexpr int kFormat = 1;
    static constexpr char kGroup[] = "Sound";
    static constexpr char kSuffix[] = "corvane";
    static constexpr char kFilter[] = "Corvane Sounds (*.corvane);;All Files (*)"; // file dialogs
    static constexpr char kMimeType[] = "application/x-corvane-sound";

    // Reads `bytes`, the contents of `fileName` (named in messages), into the sound settings
    // of `pSound`. Zero bytes, or nothing but blank and comment lines, is the start-up sound.
    // On refusal returns false with one line naming the file, the line and the key in *pError
    // and leaves `pSound` as it was. Keys it does not know go into *pWarnings, one line each.
    static bool Parse(const QByteArray& bytes, const QString& fileName, CExportOptions* pSound,
                      QStringList* pWarnings, QString* pError);
    // Reads the file at `path` (at most kMaxBytes) and parses it as above.
    static bool Load(const QString& path, CExportOptions* pSound, QStringList* pWarnings, QString* pError);

    // The file's text for the sound settings of `sound`: [Sound], format=1, then every key the
    // settings give, in the order they are applied.
    static QByteArray Text(const CExportOptions& sound);
    // Writes Text(sound) to `path` atomically: a failed save leaves the old file as it was.
    static bool Save(const QString& path, const CExportOptions& sound, QString* pError);
};
