// The synthesizer panel: owns every control and engine object, maps control positions to
// engine and stream values, runs the modulation routes and renders each block for the stream.
#pragma once

#include "engine/CClassicLowPass.h"
#include "engine/CLfo.h"
#include "engine/CNoiseGenerator.h"
#include "engine/CSampleBlock.h"
#include "engine/CSvFilter.h"
#include "engine/CWaveTable.h"
#include "platform/wintypes.h"

#include <QPointer>
#include <QScrollArea>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAbstractSlider;
class QCheckBox;
class QComboBox;
class CReadoutEdit;
class QPushButton;
class QSlider;
class QTextEdit;
class CSegmentDisplay;
class CSpectrumView;
class CSoundDevice;
class CSoundStream;
class CTextLabel;
class COrbRotaryKnob;

class CCorvaneFormView : public QScrollArea {
    Q_OBJECT

public:
    // Receives the start-up failure message (text, caption). The default shows a QMessageBox.
    using MessageBoxHandler = std::function<void(const std::string& text, const std::string& caption)>;

    // Builds the 80 template items and the engine objects; nothing sounds until OnInitialUpdate.
    explicit CCorvaneFormView(QWidget* parent = nullptr);
    ~CCorvaneFormView() override;

    // Set-up: fills and styles the controls, starts the sound device, builds the blocks, wave
    // tables and LFOs, creates stream 0 and starts looping playback. Call it once the widget
    // exists. A repeated call (File > New) returns the panel to its start state: lists are
    // refilled (not duplicated), controls, engine settings and the stream's volume, pan, rate
    // and play state return to their start values; the device and its stream are kept. If the
    // device had failed to start, a repeated call tries once more (and reports again).
    void OnInitialUpdate();

    // The render tick: RenderBlock, then ShowElapsedTime, with the clock time in 100 ns units.
    // Returns 0.
    int OnEngineTick(std::int64_t* pTime);
    // Renders, converts and offers one block when at least m_nRenderInterval ms have passed.
    void RenderBlock(std::int64_t* pTime);
    // Shows time / 10000 (milliseconds) in the time edit (control 1006).
    void ShowElapsedTime(std::int64_t* pTime);

    // Channel buttons and Sound menu commands.
    void OnMute();
    void OnCenter();
    void OnPitchReset();
    void OnSoundLoop();      // Sound > Loop (command 32775)
    void OnSoundOneShot();   // Sound > OneShot (command 32776)
    // The output's master fade (pause, sleep timer): toward unity or silence at the pace of a
    // whole fade of `seconds`; the controls, volume and mute are left alone.
    void FadeOutput(bool unity, double seconds);

    // Parameter setters; flags: 1 shows the value in the display, 2 moves the slider.
    void ApplyHold(float v, BYTE flags);             // v 0..1 -> hold trunc(100 v) >= 1 samples
    void ApplyFilterFrequency(float v, BYTE flags);  // v 0..1 -> cutoff 10000 v Hz, >= 10 Hz
    void ApplyFilterQ(float v, BYTE flags);          // v 0..1, unscaled
    void ApplyVolume(float v, BYTE flags);           // v -1..0 -> trunc(10000 v) hundredths of dB
    void ApplyPan(float v, BYTE flags);              // v -1 left .. 1 right
    void ApplyPitch(float v, BYTE flags);            // v -1..1 -> ratio 2^(2v)
    void ApplySmooth(float v, BYTE flags);           // v 0..1 (clamped): glide over v x hold

    // Selection-list handlers (also reached through the lists' change signals).
    void OnSelchangeGenType();
    void OnSelchangeFilterType();
    void OnSelchangeInput();
    void OnSelchangeLfo1Shape();
    void OnSelchangeLfo2Shape();
    void OnSelchangeLfo3Shape();

    // Route of a knob: depth (p - 60) / 240 and the selection of its paired source list
    // (1..3 = LFO 1..3; anything else means no source).
    float GetModulationDepth(const COrbRotaryKnob* pKnob) const;
    int GetModulationSource(const COrbRotaryKnob* pKnob) const;

    // Handles a user change of the slider or knob; other widgets are ignored.
    void OnSliderMoved(QAbstractSlider* pScrollBar);

    // Writes "name\r\nvalue unit" into the info edit; null name or value does nothing.
    void ShowInfo(const char* name, const char* value, const char* unit);

    void SetMessageBoxHandler(MessageBoxHandler handler);

    // Lays the whole panel out again from the template at this size (100 = the template's
    // own size), fonts included; positions, values and texts stay. Sizes outside 50..400
    // are refused and leave the panel as it is (returns false).
    bool SetZoom(int percent);
    int GetZoom() const { return m_nZoomPercent; }
    // The spectrum pane of the sound played; unparented until a frame takes it over (the
    // panel deletes it otherwise). Fed from the render cycle only while it is shown.
    QWidget* SpectrumPane() const;
    CSpectrumView* GetSpectrumView() const;

    // Property each template control carries: its index in the template.
    static constexpr const char* kTemplateIndexProperty = "templateIndex";

    // Accessors for the application and tests.
    QWidget* GetControl(int id) const;
    template <class T> T* GetControlAs(int id) const { return qobject_cast<T*>(GetControl(id)); }
    QWidget* GetPanelWidget() const { return m_pPanel; }
    CSoundDevice* GetSoundDevice() const { return m_pSoundDevice.get(); }
    CSoundStream* GetStream() const;  // stream 0, or null without a started device
    // The info edit's text exactly as written ("\r\n" included).
    const std::string& GetInfoText() const { return m_strInfo; }
    const CNoiseGenerator& GetNoiseGenerator() const { return m_noiseGenerator; }
    const CNoiseFilter* GetFilter() const { return m_pFilter; }
    const CClassicLowPass& GetClassicFilter() const { return m_classicFilter; }
    const CSvFilter& GetSvFilter() const { return m_svFilter; }
    const CLfo& GetLfo(int index) const { return m_lfo[static_cast<std::size_t>(index)]; }
    const float* GetLfoBlock(int index) const;
    const std::int16_t* GetPcmBlock() const { return m_pcmBlock.data(); }
    bool IsStreamAccepted() const { return m_bStreamAccepted; }
    int GetInput() const { return m_nInput; }
    int GetMute() const { return m_nMute; }

    // Colours of the panel (COLORREF 0x00BBGGRR).
    static constexpr COLORREF kHeadingBack = RGB(102, 102, 153);
    static constexpr COLORREF kHeadingText = RGB(230, 230, 230);
    static constexpr COLORREF kCaptionText = RGB(78, 78, 78);
    static constexpr COLORREF kDisplaySegment = RGB(255, 204, 51);
    static constexpr COLORREF kDisplayBack = RGB(51, 51, 102);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Set-up (CCorvaneFormView.cpp).
    void CreateControls();
    void BindControls();
    void ConnectControls();
    void InitCaption(CTextLabel& label, const char* text);
    void InitValueDisplay(CSegmentDisplay& display, float value, const char* format);
    void ShowDisplayValue(CSegmentDisplay& display, float value);
    void FillList(QComboBox& list, std::initializer_list<const char*> items, int dropHeight);
    void FillSourceList(QComboBox& list);
    void SetUpSlider(QSlider& slider, int min, int max, int pos, int ticFreq);
    void SetUpKnob(COrbRotaryKnob& knob);
    void ResetEngineToStart();
    bool StartSound();
    void ShowMessage(const char* text, const char* caption);
    static void MoveSlider(QAbstractSlider& slider, int position);
    // Zoom (CCorvaneFormViewZoom.cpp): geometry and fonts of every control at m_nZoomPercent.
    void LayOutControls();
    // Spectrum pane (CCorvaneFormViewSpectrum.cpp): hands over the block just accepted.
    void FeedSpectrum(CSoundStream& stream);

    // Routes (CCorvaneFormViewRoutes.cpp): each depth knob with its source list.
    struct Route {
        COrbRotaryKnob* knob;
        QComboBox* sourceList;
        const char* infoName;
    };
    void BindRoutes();
    const Route* RouteOf(const COrbRotaryKnob* pKnob) const;
    QComboBox* SourceListOf(const COrbRotaryKnob* pKnob) const;
    const char* KnobInfoName(const COrbRotaryKnob* pKnob) const;
    const float* SourceBlock(int source) const;

    // Controls, bound to their template items.
    QWidget* m_pPanel = nullptr;
    std::map<int, QWidget*> m_controls;

    CTextLabel* m_lblGenType = nullptr;
    QComboBox* m_cbGenType = nullptr;
    CTextLabel* m_lblHold = nullptr;
    CSegmentDisplay* m_dispHold = nullptr;
    QSlider* m_sliderHold = nullptr;
    CTextLabel* m_lblFilterType = nullptr;
    QComboBox* m_cbFilterType = nullptr;
    CTextLabel* m_lblFilterFreq = nullptr;
    CSegmentDisplay* m_dispFilterFreq = nullptr;
    QSlider* m_sliderFilterFreq = nullptr;
    CTextLabel* m_lblFilterQ = nullptr;
    CSegmentDisplay* m_dispFilterQ = nullptr;
    QSlider* m_sliderFilterQ = nullptr;
    CTextLabel* m_lblInput = nullptr;
    QComboBox* m_cbInput = nullptr;
    CTextLabel* m_lblVolume = nullptr;
    CSegmentDisplay* m_dispVolume = nullptr;
    QSlider* m_sliderVolume = nullptr;
    QCheckBox* m_btnMute = nullptr;
    CTextLabel* m_lblPan = nullptr;
    CSegmentDisplay* m_dispPan = nullptr;
    QSlider* m_sliderPan = nullptr;
    QPushButton* m_btnCenter = nullptr;
    CTextLabel* m_lblPitch = nullptr;
    CSegmentDisplay* m_dispPitch = nullptr;
    QSlider* m_sliderPitch = nullptr;
    QPushButton* m_btnPitchReset = nullptr;
    CReadoutEdit* m_editTime = nullptr;
    CTextLabel* m_lblLfo1Shape = nullptr;
    QComboBox* m_cbLfo1Shape = nullptr;
    CTextLabel* m_lblLfo1Freq = nullptr;
    CSegmentDisplay* m_dispLfo1Freq = nullptr;
    QSlider* m_sliderLfo1Freq = nullptr;
    COrbRotaryKnob* m_knobFreqMod = nullptr;
    CTextLabel* m_lblFreqMod = nullptr;
    CTextLabel* m_lblVolumeMod = nullptr;
    COrbRotaryKnob* m_knobVolumeMod = nullptr;
    QComboBox* m_cbFreqModSource = nullptr;
    QComboBox* m_cbVolumeModSource = nullptr;
    COrbRotaryKnob* m_knobQMod = nullptr;
    CTextLabel* m_lblQMod = nullptr;
    QComboBox* m_cbQModSource = nullptr;
    CTextLabel* m_lblLfo2Shape = nullptr;
    QComboBox* m_cbLfo2Shape = nullptr;
    CTextLabel* m_lblLfo2Freq = nullptr;
    CSegmentDisplay* m_dispLfo2Freq = nullptr;
    QSlider* m_sliderLfo2Freq = nullptr;
    CTextLabel* m_lblLfo3Shape = nullptr;
    QComboBox* m_cbLfo3Shape = nullptr;
    CTextLabel* m_lblLfo3Freq = nullptr;
    CSegmentDisplay* m_dispLfo3Freq = nullptr;
    QSlider* m_sliderLfo3Freq = nullptr;
    CTextLabel* m_lblPanMod = nullptr;
    COrbRotaryKnob* m_knobPanMod = nullptr;
    QComboBox* m_cbPanModSource = nullptr;
    CTextLabel* m_lblPitchMod = nullptr;
    COrbRotaryKnob* m_knobPitchMod = nullptr;
    QComboBox* m_cbPitchModSource = nullptr;
    CTextLabel* m_lblModulators = nullptr;
    CTextLabel* m_lblGenerator = nullptr;
    CTextLabel* m_lblFilter = nullptr;
    CTextLabel* m_lblChannel = nullptr;
    CTextLabel* m_lblBadge = nullptr;
    QTextEdit* m_editInfo = nullptr;
    COrbRotaryKnob* m_knobHoldMod = nullptr;
    QSlider* m_sliderSmooth = nullptr;
    CTextLabel* m_lblSmooth = nullptr;
    QComboBox* m_cbSmoothModSource = nullptr;
    QComboBox* m_cbHoldModSource = nullptr;
    COrbRotaryKnob* m_knobSmoothMod = nullptr;
    CTextLabel* m_lblHoldMod = nullptr;
    CTextLabel* m_lblSmoothMod = nullptr;
    CSegmentDisplay* m_dispSmooth = nullptr;
    CTextLabel* m_lblLfo1Title = nullptr;
    CTextLabel* m_lblLfo2Title = nullptr;
    CTextLabel* m_lblLfo3Title = nullptr;

    // Panel state and engine objects.
    int m_nInput = 0;        // 0 "Filter", 1 "Noise Generator"
    int m_nMute = 0;         // last check state read from the Mute box
    int m_nPitchRange = 4;   // pitch span of ApplyPitch: two octaves either way
    CSampleBlock m_noiseBlock;
    std::array<CSampleBlock, 3> m_lfoBlocks;
    std::array<std::int16_t, 882> m_pcmBlock{};
    CNoiseGenerator m_noiseGenerator;
    std::unique_ptr<CSoundDevice> m_pSoundDevice;
    int m_nRenderInterval = 15;  // least milliseconds between two renders
    CClassicLowPass m_classicFilter;
    CSvFilter m_svFilter;
    CNoiseFilter* m_pFilter = &m_classicFilter;
    std::vector<CWaveTable*> m_waveTables;  // owned; index = shape
    std::array<CLfo, 3> m_lfo;

    // Render-cycle state (one panel per program, so held here).
    int m_nLastRenderMs = 0;
    bool m_bStreamAccepted = true;

    std::array<Route, 7> m_routes{};
    std::string m_strInfo;
    MessageBoxHandler m_messageBox;
    int m_nZoomPercent = 100;
    QPointer<CSpectrumView> m_pSpectrum;
};
