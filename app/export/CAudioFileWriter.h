// Writes 16-bit frames to an audio file through a temporary file that replaces the target only
// when everything was written, so a failed export leaves no file and an existing file untouched.
#pragma once

#include "app/export/CExportOptions.h"

#include <QSaveFile>
#include <QString>

#include <cstdint>

struct sf_private_tag;

class CAudioFileWriter {
public:
    CAudioFileWriter() = default;
    ~CAudioFileWriter(); // discards an uncommitted file
    CAudioFileWriter(const CAudioFileWriter&) = delete;
    CAudioFileWriter& operator=(const CAudioFileWriter&) = delete;

    // Opens a temporary file next to `path`; rate in Hz, channels 1 or 2. WAV and FLAC are
    // 16-bit PCM, Ogg is Vorbis. On failure returns false with a one-line reason in *pError.
    bool Open(const QString& path, CExportOptions::FileFormat format, int rate, int channels, QString* pError);
    // Appends `frames` interleaved frames.
    bool Write(const std::int16_t* samples, std::int64_t frames, QString* pError);
    // Finishes the file and moves it to its name.
    bool Commit(QString* pError);
    // Drops the temporary file; the target stays as it was.
    void Discard();

private:
    QSaveFile m_file;
    sf_private_tag* m_pSound = nullptr;
    int m_nChannels = 0;
    static constexpr std::int64_t kFlushBytes = 4 << 20;
    std::int64_t m_llUnflushed = 0; // bytes written since the last write-back hint
};
