// Audio file output over libsndfile, written through a QSaveFile for an all-or-nothing result.
#include "app/export/CAudioFileWriter.h"

#include <sndfile.h>

#include <QFileInfo>

#if defined(__linux__)
#include <fcntl.h>
#endif

CAudioFileWriter::~CAudioFileWriter()
{
    Discard();
}

bool CAudioFileWriter::Open(const QString& path, CExportOptions::FileFormat format, int rate, int channels,
                            QString* pError)
{
    Discard();
    if (QFileInfo(path).isDir()) {
        *pError = QStringLiteral("corvane: cannot write '%1': it is a folder").arg(path);
        return false;
    }
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly)) {
        *pError = QStringLiteral("corvane: cannot write '%1': %2").arg(path, m_file.errorString());
        return false;
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    switch (format) {
    case CExportOptions::FileFormat::Wav: info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16; break;
    case CExportOptions::FileFormat::Flac: info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16; break;
    case CExportOptions::FileFormat::Ogg: info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS; break;
    }
    // libsndfile writes through the save file's descriptor; the QSaveFile keeps ownership of it.
    m_pSound = sf_open_fd(m_file.handle(), SFM_WRITE, &info, 0);
    if (m_pSound == nullptr) {
        *pError = QStringLiteral("corvane: cannot write '%1': %2")
                      .arg(path, QString::fromLocal8Bit(sf_strerror(nullptr)));
        Discard();
        return false;
    }
    m_nChannels = channels;
    return true;
}

bool CAudioFileWriter::Write(const std::int16_t* samples, std::int64_t frames, QString* pError)
{
    if (m_pSound == nullptr) {
        *pError = QStringLiteral("corvane: no file open for writing");
        return false;
    }
    if (sf_writef_short(m_pSound, samples, frames) != frames) {
        *pError = QStringLiteral("corvane: cannot write '%1': %2")
                      .arg(m_file.fileName(), QString::fromLocal8Bit(sf_strerror(m_pSound)));
        return false;
    }
#if defined(__linux__)
    // Start the disk writes as the file grows, so that the flush before the rename at the end
    // finds little left to do. Only a hint: failures show up in that flush.
    m_llUnflushed += frames * m_nChannels * 2;
    if (m_llUnflushed >= kFlushBytes) {
        sync_file_range(m_file.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
        m_llUnflushed = 0;
    }
#endif
    return true;
}

bool CAudioFileWriter::Commit(QString* pError)
{
    if (m_pSound == nullptr) {
        *pError = QStringLiteral("corvane: no file open for writing");
        return false;
    }
    // Closing writes the final header; only then may the file take its name.
    const int closed = sf_close(m_pSound);
    m_pSound = nullptr;
    if (closed != 0) {
        *pError = QStringLiteral("corvane: cannot write '%1': %2")
                      .arg(m_file.fileName(), QString::fromLocal8Bit(sf_error_number(closed)));
        Discard();
        return false;
    }
    if (!m_file.commit()) {
        *pError = QStringLiteral("corvane: cannot write '%1': %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }
    return true;
}

void CAudioFileWriter::Discard()
{
    if (m_pSound != nullptr) {
        sf_close(m_pSound);
        m_pSound = nullptr;
    }
    if (m_file.isOpen()) {
        // A cancelled commit removes the temporary file and leaves the target alone.
        m_file.cancelWriting();
        m_file.commit();
    }
}
