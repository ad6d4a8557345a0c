// Pure arithmetic of the panel: control positions to engine/stream values, values back to
// slider positions, the 16-bit conversion and the info-line text.
//
// Constants are the nearest 32-bit floats (0.01f, 0.005f, 1/240.f); products are formed in
// double; values handed on are stored as float; every conversion to an integer truncates toward
// zero. Non-finite or out-of-range inputs (they can only come from modulation) saturate instead
// of producing an arbitrary integer.
#pragma once

#include <cstdint>
#include <string>

namespace corvane::panel {

// Setter flags: 1 shows the value in the control's display, 2 moves its slider.
constexpr std::uint8_t kShowValue = 1;
constexpr std::uint8_t kMoveSlider = 2;
constexpr std::uint8_t kShowAndMove = kShowValue | kMoveSlider;

constexpr int kBlockSamples = 882;      // 20 ms at 44100 Hz
constexpr int kStreamSamples = 7056;    // eight blocks
constexpr float kPcmScale = 32000.0f;   // full scale of the 16-bit block, not 32767
constexpr int kPcmLimit = 32000;

// Truncates toward zero into int; NaN gives 0 and values beyond int saturate.
int TruncToInt(double x);

// Frequency, Q and hold sliders (0..100, top = 1.0): v = 1 - p * 0.01.
float UnitFromTopSlider(int position);
// Smooth slider: v = (100 - p) * 0.01.
float SmoothFromSlider(int position);
// Pitch and pan sliders (-100..100): v = p * 0.01.
float BipolarFromSlider(int position);
// Volume slider (0..100, top = full): n = -p, v = n * 0.01.
float VolumeFromSlider(int position);
// LFO frequency sliders (1..100): f = p * p * 0.005 Hz, 0.005..50 Hz.
float LfoFrequencyFromSlider(int position);
// Route depth of a knob position (0..359, 60 = 0): (p - 60) * 1/240.
float KnobDepth(int position);

// Hold length in samples: trunc(v * 100) from the unrounded product, at least 1.
int HoldFromValue(float v);
int HoldSliderPosition(int hold);               // 100 - n
// Cutoff in Hz: v * 10000 stored as float, at least 10 Hz (NaN gives 10 Hz).
float CutoffFromValue(float v);
int TopSliderPosition(float v);                 // trunc(100 - v * 100), frequency and Q
// Volume in hundredths of a dB: n = trunc(v * 10000) from the unrounded product; the shown
// value is the same product stored as float.
int VolumeHundredthsFromValue(float v);
float VolumeShownFromValue(float v);
int VolumeSliderPosition(int hundredths);       // n / -100
int BipolarSliderPosition(float v);             // trunc(v * 100), pan and pitch
// Playback-rate ratio 2^(v*h + h) / R with h = R / 2 (unsigned halving); R = 4 gives 2^(2v).
float PitchRatio(float v, int pitchRange);

// Float samples to 16 bits: trunc(x * 32000) limited to -32000..32000; NaN gives 0.
void ConvertBlock(const float* in, std::int16_t* out, unsigned count);

// printf-style formatting into a std::string (the panel's texts are short).
std::string FormatValue(const char* format, double value);
std::string FormatInt(const char* format, int value);
// The info line: name, CR LF, value, one blank, unit (a null unit counts as empty).
std::string InfoLine(const char* name, const char* value, const char* unit);

} // namespace corvane::panel
