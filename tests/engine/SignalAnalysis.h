// Measurements the engine tests make on rendered signals: RMS and band power from an FFT.
#pragma once

#include <vector>

namespace engine_test {

double Rms(const std::vector<float>& signal);
// Mean power spectral density (arbitrary units) of the signal between loHz and hiHz at 44100 Hz,
// averaged over successive 4096-sample frames with a Hann window.
double BandDensity(const std::vector<float>& signal, double loHz, double hiHz);
// Ten times the base-10 logarithm of a power ratio.
double Db(double ratio);

} // namespace engine_test
