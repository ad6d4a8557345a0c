// Spectrum and level meter of the sound being played, for the spectrum pane (no Qt).
#pragma once

#include <cstdint>
#include <vector>

// Samples go in as they are rendered; Analyse, called once a display frame, takes the newest
// kFftSize samples through a Blackman-Harris window and an FFT and folds the power of every
// bin into a running average, so that noise reads as a steady curve. Levels are in dB
// relative to full scale: a sine of amplitude A reads 20 log10 A at its frequency (within
// 0.9 dB wherever it falls between bins); noise reads its level per bin.
//
// The meter follows the samples added between two analyses: the peak falls back at
// kPeakFallDbPerSecond after a louder moment, the RMS is averaged over kRmsSeconds.
//
// Nothing allocates after construction; every call is for one thread.
class CSpectrumAnalyser
{
public:
    static constexpr int kFftSize = 4096;
    static constexpr int kBins = kFftSize / 2 + 1;
    static constexpr float kFloorDb = -200.0f;       // level of silence
    static constexpr double kAverageWeight = 0.2;     // share of a new frame in the average
    static constexpr double kPeakFallDbPerSecond = 20.0;
    static constexpr double kRmsSeconds = 0.3;

    CSpectrumAnalyser();
    ~CSpectrumAnalyser();
    CSpectrumAnalyser(const CSpectrumAnalyser&) = delete;
    CSpectrumAnalyser& operator=(const CSpectrumAnalyser&) = delete;

    // Appends count samples, full scale -1..1 (16-bit: -32768..32767), each multiplied by
    // gain (the output level, 0..1). sampleRate: Hz at which they play, > 0.
    void AddSamples(const float* samples, unsigned count, float gain, double sampleRate);
    void AddPcm16(const std::int16_t* samples, unsigned count, float gain, double sampleRate);
    // Appends count samples of silence at the current rate (nothing is playing).
    void AddSilence(unsigned count);
    // Samples added since the last Analyse.
    unsigned PendingSamples() const { return m_nPending; }

    // One display frame: spectrum average and meter from what was added since the last.
    void Analyse();
    // Forgets everything: silence, meter at the floor.
    void Reset();

    double SampleRate() const { return m_fSampleRate; }
    double BinFrequency(int bin) const;              // bin * rate / kFftSize, Hz
    float BinLevelDb(int bin) const;                 // averaged level of one bin
    // Averaged level of the band f0..f1 Hz: the mean power of the bins whose centre lies
    // in it, or, when none does, the level interpolated at the band's middle.
    float BandLevelDb(double f0, double f1) const;
    // The bin with the highest averaged level from minHz up.
    int PeakBin(double minHz = 0.0) const;

    float PeakDb() const { return m_fPeakDb; }       // meter, dBFS
    float RmsDb() const { return m_fRmsDb; }         // meter, dBFS

private:
    // Appends count samples times scale; null samples: silence.
    template <typename Sample>
    void Append(const Sample* samples, unsigned count, float scale);

    float* m_pIn = nullptr;        // windowed frame (FFTW's aligned memory)
    void* m_pOut = nullptr;        // fftwf_complex[kBins]
    void* m_plan = nullptr;        // fftwf_plan
    std::vector<float> m_window;
    std::vector<float> m_ring;     // newest kFftSize samples
    std::vector<double> m_power;   // averaged power per bin, amplitude-normalised
    unsigned m_nWrite = 0;
    unsigned m_nPending = 0;
    float m_fPendingPeak = 0.0f;
    double m_fPendingSquares = 0.0;
    double m_fSampleRate = 44100.0;
    double m_fMeanSquare = 0.0;
    bool m_bFirstFrame = true;
    float m_fPeakDb = kFloorDb;
    float m_fRmsDb = kFloorDb;
};
