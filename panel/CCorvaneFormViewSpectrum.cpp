// The spectrum pane's feed: each block the stream took, at the level and rate it plays at,
// with the cutoff of the filter in the chain.
#include "panel/CCorvaneFormView.h"

#include "audio/CSoundStream.h"
#include "controls/CSpectrumView.h"
#include "panel/ParameterMapping.h"

#include <cmath>

void CCorvaneFormView::FeedSpectrum(CSoundStream& stream)
{
    // Volume (hundredths of a dB) and pitch live in the buffer; reading them here keeps the
    // pane true to what is heard whichever control or route set them.
    double gain = 1.0;
    double rate = 44100.0;
    if (IDirectSoundBuffer* buffer = stream.GetBuffer()) {
        LONG volume = 0;
        DWORD frequency = 0;
        if (buffer->GetVolume(&volume) == DS_OK)
            gain = std::pow(10.0, volume / 2000.0);
        if (buffer->GetFrequency(&frequency) == DS_OK && frequency > 0)
            rate = frequency;
    }
    // A pitch change moves the whole spectrum, the filter's knee with it.
    const double cutoff = m_nInput == 0 ? m_pFilter->GetFrequency() * rate / 44100.0 : 0.0;
    m_pSpectrum->SetCutoff(cutoff);
    m_pSpectrum->AddBlock(m_pcmBlock.data(), corvane::panel::kBlockSamples, static_cast<float>(gain), rate);
}

QWidget* CCorvaneFormView::SpectrumPane() const
{
    return m_pSpectrum;
}

CSpectrumView* CCorvaneFormView::GetSpectrumView() const
{
    return m_pSpectrum;
}
