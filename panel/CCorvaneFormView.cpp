// Panel set-up: controls built from dialog template 101, their binding and signals, and the
// initial update that fills them, starts the sound device and begins looping playback.
#include "panel/CCorvaneFormView.h"

#include "audio/CSoundDevice.h"
#include "audio/CSoundStream.h"
#include "audio/SoundOutputMessage.h"
#include "controls/COrbRotaryKnob.h"
#include "controls/CReadoutEdit.h"
#include "controls/CSegmentDisplay.h"
#include "controls/CSpectrumView.h"
#include "controls/CTextLabel.h"
#include "controls/CTrackbar.h"
#include "panel/ParameterMapping.h"
#include "res/DialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTextEdit>
#include <QWheelEvent>

#include <algorithm>

namespace {

using corvane::res::DialogItem;
using corvane::res::ItemKind;

constexpr int kDisplayIds[] = {1013, 1003, 1005, 1016, 1018, 1020, 1023, 1037, 1040, 1068};
constexpr int kKnobIds[] = {1007, 1028, 1008, 1042, 1044, 1031, 1035};
constexpr int kTimeEditId = 1006;
constexpr int kInfoEditId = 1030;
// Height of one entry of a dropped-down list in pixels; a drop height of N pixels shows
// N / kDropEntryPixels entries, so the lists keep the template's proportions.
constexpr int kDropEntryPixels = 24;
constexpr int kKnobStart = 60;

bool Contains(const int* first, const int* last, int id)
{
    return std::find(first, last, id) != last;
}

QWidget* CreateItemWidget(const DialogItem& item, QWidget* parent)
{
    using namespace corvane::res::style;
    // Labels, buttons and check boxes read '&' as the template means it (a mnemonic mark, "&&"
    // an ampersand), so the text goes in as stored.
    const QString text = QString::fromLatin1(item.text);
    switch (item.kind) {
    case ItemKind::GroupBox:
        return new QGroupBox(parent);
    case ItemKind::Static: {
        auto* label = new CTextLabel(text, parent);
        label->SetStyle(item.style & 0xFFFFu);
        label->SetDlgCtrlID(item.id);
        return label;
    }
    case ItemKind::ComboBox: {
        auto* list = new QComboBox(parent);
        // An editable field whose typed text is never read: typing selects nothing.
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setDuplicatesEnabled(true);
        list->setCompleter(nullptr);
        // Qt would select an entry whose name was typed (on Return or on leaving the field).
        QObject::disconnect(list->lineEdit(), &QLineEdit::editingFinished, list, nullptr);
        QObject::disconnect(list->lineEdit(), &QLineEdit::returnPressed, list, nullptr);
        return list;
    }
    case ItemKind::Edit:
        if (Contains(std::begin(kDisplayIds), std::end(kDisplayIds), item.id))
            return new CSegmentDisplay(parent);
        if (item.id == kInfoEditId) {
            // A read-only multi-line edit: its text can be selected and copied, and Tab
            // moves on instead of being typed.
            auto* info = new QTextEdit(parent);
            info->setReadOnly(true);
            info->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
            info->setTabChangesFocus(true);
            info->setAcceptRichText(false);
            info->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            info->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            info->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            info->document()->setDocumentMargin(1);
            return info;
        }
        {
            // The elapsed time changes on every render tick: its box repaints the cheap way.
            auto* edit = item.id == kTimeEditId ? new CReadoutEdit(parent) : new QLineEdit(parent);
            edit->setReadOnly(true);
            if (!(item.style & WS_BORDER))
                edit->setFrame(false);
            if (item.style & ES_RIGHT)
                edit->setAlignment(Qt::AlignRight);
            return edit;
        }
    case ItemKind::Trackbar: {
        if (Contains(std::begin(kKnobIds), std::end(kKnobIds), item.id))
            return new COrbRotaryKnob(parent);
        auto* slider = new CTrackbar((item.style & TBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
        slider->setTickPosition(QSlider::TicksBothSides);
        return slider;
    }
    case ItemKind::CheckBox:
        return new QCheckBox(text, parent);
    case ItemKind::PushButton:
        return new QPushButton(text, parent);
    }
    return nullptr;
}

} // namespace

CCorvaneFormView::CCorvaneFormView(QWidget* parent)
    : QScrollArea(parent)
{
    m_pSpectrum = new CSpectrumView;
    CreateControls();
    BindControls();
    BindRoutes();
    ConnectControls();
}

CCorvaneFormView::~CCorvaneFormView()
{
    // The controls go while the engine objects still exist, and without reaching the handlers
    // (a list being destroyed may still report a change).
    for (const auto& entry : m_controls)
        entry.second->disconnect(this);
    delete takeWidget();
    m_pPanel = nullptr;
    if (m_pSpectrum && !m_pSpectrum->parent())
        delete m_pSpectrum;
    // The stream and device go next: nothing may play from blocks that are about to vanish.
    m_pSoundDevice.reset();
    for (CWaveTable* table : m_waveTables)
        delete table;
    m_waveTables.clear();
}

void CCorvaneFormView::CreateControls()
{
    const corvane::res::DialogTemplate& dlg = corvane::res::PanelTemplate();
    m_pPanel = new QWidget;
    m_pPanel->setObjectName(QStringLiteral("CorvanePanel"));
    // Template order is the stacking and tab order: each new child goes on top.
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < dlg.items.size(); ++i) {
        const DialogItem& item = dlg.items[i];
        QWidget* widget = CreateItemWidget(item, m_pPanel);
        widget->setEnabled(!item.disabled);
        widget->setProperty("controlId", item.id);
        widget->setProperty(kTemplateIndexProperty, static_cast<int>(i));
        if (item.id != corvane::res::kNoId) {
            widget->setObjectName(QStringLiteral("ctl%1").arg(item.id));
            m_controls[item.id] = widget;
        }
        if (item.style & corvane::res::style::WS_TABSTOP) {
            // Read-only displays are tab stops too; no control takes the focus from the wheel.
            if (widget->focusPolicy() == Qt::NoFocus)
                widget->setFocusPolicy(Qt::StrongFocus);
            if (previous)
                QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
        if (widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(this);
    }
    LayOutControls();
    setWidget(m_pPanel);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

bool CCorvaneFormView::eventFilter(QObject* watched, QEvent* event)
{
    // The wheel turns only the control with the keyboard focus; over any other control it
    // scrolls the panel, so that no setting changes by accident.
    // (This view also watches its viewport, which is not a control.)
    auto* control = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Wheel && control && control->property("controlId").isValid()
        && !control->hasFocus()) {
        QCoreApplication::sendEvent(viewport(), event);
        event->accept();
        return true;
    }
    return QScrollArea::eventFilter(watched, event);
}

QWidget* CCorvaneFormView::GetControl(int id) const
{
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CCorvaneFormView::BindControls()
{
    auto label = [this](int id) { return GetControlAs<CTextLabel>(id); };
    auto list = [this](int id) { return GetControlAs<QComboBox>(id); };
    auto display = [this](int id) { return GetControlAs<CSegmentDisplay>(id); };
    auto slider = [this](int id) { return GetControlAs<QSlider>(id); };
    auto knob = [this](int id) { return GetControlAs<COrbRotaryKnob>(id); };

    m_lblGenType = label(1051);
    m_cbGenType = list(1010);
    m_lblHold = label(1054);
    m_dispHold = display(1013);
    m_sliderHold = slider(1011);
    m_lblFilterType = label(1052);
    m_cbFilterType = list(1009);
    m_lblFilterFreq = label(1056);
    m_dispFilterFreq = display(1003);
    m_sliderFilterFreq = slider(1002);
    m_lblFilterQ = label(1057);
    m_dispFilterQ = display(1005);
    m_sliderFilterQ = slider(1004);
    m_lblInput = label(1053);
    m_cbInput = list(1014);
    m_lblVolume = label(1058);
    m_dispVolume = display(1016);
    m_sliderVolume = slider(1015);
    m_btnMute = GetControlAs<QCheckBox>(1021);
    m_lblPan = label(1059);
    m_dispPan = display(1018);
    m_sliderPan = slider(1017);
    m_btnCenter = GetControlAs<QPushButton>(1024);
    m_lblPitch = label(1060);
    m_dispPitch = display(1020);
    m_sliderPitch = slider(1019);
    m_btnPitchReset = GetControlAs<QPushButton>(1022);
    m_editTime = GetControlAs<CReadoutEdit>(kTimeEditId);
    // Rewritten on every render tick: it paints its whole face, so nothing behind it need be
    // painted first.
    m_editTime->setAttribute(Qt::WA_OpaquePaintEvent);
    m_lblLfo1Shape = label(1069);
    m_cbLfo1Shape = list(1012);
    m_lblLfo1Freq = label(1072);
    m_dispLfo1Freq = display(1023);
    m_sliderLfo1Freq = slider(1025);
    m_knobFreqMod = knob(1007);
    m_lblFreqMod = label(1065);
    m_lblVolumeMod = label(1062);
    m_knobVolumeMod = knob(1008);
    m_cbFreqModSource = list(1026);
    m_cbVolumeModSource = list(1027);
    m_knobQMod = knob(1028);
    m_lblQMod = label(1066);
    m_cbQModSource = list(1029);
    m_lblLfo2Shape = label(1070);
    m_cbLfo2Shape = list(1036);
    m_lblLfo2Freq = label(1073);
    m_dispLfo2Freq = display(1037);
    m_sliderLfo2Freq = slider(1038);
    m_lblLfo3Shape = label(1071);
    m_cbLfo3Shape = list(1039);
    m_lblLfo3Freq = label(1074);
    m_dispLfo3Freq = display(1040);
    m_sliderLfo3Freq = slider(1041);
    m_lblPanMod = label(1063);
    m_knobPanMod = knob(1042);
    m_cbPanModSource = list(1043);
    m_lblPitchMod = label(1064);
    m_knobPitchMod = knob(1044);
    m_cbPitchModSource = list(1045);
    m_lblModulators = label(1049);
    m_lblGenerator = label(1046);
    m_lblFilter = label(1048);
    m_lblChannel = label(1047);
    m_lblBadge = label(1050);
    m_editInfo = GetControlAs<QTextEdit>(kInfoEditId);
    m_knobHoldMod = knob(1031);
    m_sliderSmooth = slider(1032);
    m_lblSmooth = label(1055);
    m_cbSmoothModSource = list(1033);
    m_cbHoldModSource = list(1034);
    m_knobSmoothMod = knob(1035);
    m_lblHoldMod = label(1061);
    m_lblSmoothMod = label(1067);
    m_dispSmooth = display(1068);
    m_lblLfo1Title = label(1075);
    m_lblLfo2Title = label(1076);
    m_lblLfo3Title = label(1077);
}

void CCorvaneFormView::ConnectControls()
{
    // Every user action on a slider is the trackbar's scroll message and re-applies its
    // position, moved or not; positions set by the panel itself never arrive here.
    for (QSlider* slider : {m_sliderFilterFreq, m_sliderFilterQ, m_sliderHold, m_sliderSmooth,
                            m_sliderPitch, m_sliderVolume, m_sliderPan, m_sliderLfo1Freq,
                            m_sliderLfo2Freq, m_sliderLfo3Freq})
        connect(qobject_cast<CTrackbar*>(slider), &CTrackbar::scrolled, this, [this, slider] { OnSliderMoved(slider); });
    // Knobs report like a posted message (the knob already delivers through the event loop),
    // so the position read is the one current when the report is handled.
    for (const Route& route : m_routes)
        connect(route.knob, &COrbRotaryKnob::hScroll, this, [this, knob = route.knob] { OnSliderMoved(knob); });

    auto onChange = [this](QComboBox* list, void (CCorvaneFormView::*handler)()) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, handler] { (this->*handler)(); });
    };
    onChange(m_cbFilterType, &CCorvaneFormView::OnSelchangeFilterType);
    onChange(m_cbInput, &CCorvaneFormView::OnSelchangeInput);
    onChange(m_cbLfo1Shape, &CCorvaneFormView::OnSelchangeLfo1Shape);
    onChange(m_cbLfo2Shape, &CCorvaneFormView::OnSelchangeLfo2Shape);
    onChange(m_cbLfo3Shape, &CCorvaneFormView::OnSelchangeLfo3Shape);
    onChange(m_cbGenType, &CCorvaneFormView::OnSelchangeGenType);

    connect(m_btnCenter, &QPushButton::clicked, this, &CCorvaneFormView::OnCenter);
    connect(m_btnPitchReset, &QPushButton::clicked, this, &CCorvaneFormView::OnPitchReset);
    connect(m_btnMute, &QCheckBox::clicked, this, &CCorvaneFormView::OnMute);
}

void CCorvaneFormView::SetMessageBoxHandler(MessageBoxHandler handler)
{
    m_messageBox = std::move(handler);
}

void CCorvaneFormView::ShowMessage(const char* text, const char* caption)
{
    if (m_messageBox) {
        m_messageBox(text, caption);
        return;
    }
    QString shown = QString::fromLatin1(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(caption), shown, QMessageBox::Ok, this);
    box.exec();
}

void CCorvaneFormView::MoveSlider(QAbstractSlider& slider, int position)
{
    // Setting a position is not a user action: no handler may run for it.
    const QSignalBlocker block(slider);
    slider.setValue(position);
}

void CCorvaneFormView::InitCaption(CTextLabel& label, const char* text)
{
    label.SetTextColor(kCaptionText);
    label.SetFontName("SmallFonts", 0);
    label.SetFontSize(7);
    label.SetText(text);
}

void CCorvaneFormView::InitValueDisplay(CSegmentDisplay& display, float value, const char* format)
{
    display.SetFormat(format);
    display.SetColors(kDisplaySegment, kDisplayBack);
    ShowDisplayValue(display, value);
}

void CCorvaneFormView::ShowDisplayValue(CSegmentDisplay& display, float value)
{
    display.SetValue(value, false, 0.0f, 100.0f);
}

void CCorvaneFormView::FillList(QComboBox& list, std::initializer_list<const char*> items, int dropHeight)
{
    const QSignalBlocker block(list);
    // Refilling replaces the items, so a repeated set-up never duplicates them.
    list.clear();
    for (const char* item : items)
        list.addItem(QString::fromLatin1(item));
    // Dropped down, a list shows every item even where its drop height is smaller.
    list.setMaxVisibleItems(std::max(list.count(), dropHeight / kDropEntryPixels));
    list.setProperty("dropHeight", dropHeight);
    list.setCurrentIndex(0);
}

void CCorvaneFormView::FillSourceList(QComboBox& list)
{
    FillList(list, {"  - -  ", "LFO 1", "LFO 2", "LFO 3"}, 96);
}

void CCorvaneFormView::SetUpSlider(QSlider& slider, int min, int max, int pos, int ticFreq)
{
    const QSignalBlocker block(slider);
    slider.setRange(min, max);
    slider.setValue(pos);
    if (ticFreq > 0)
        slider.setTickInterval(ticFreq);
}

void CCorvaneFormView::SetUpKnob(COrbRotaryKnob& knob)
{
    const QSignalBlocker block(knob);
    knob.setRange(0, 359);
    knob.setValue(kKnobStart);
    knob.SetZeroAngle(180);
}

void CCorvaneFormView::OnInitialUpdate()
{
    // LFO lists, frequency sliders and displays.
    FillList(*m_cbLfo1Shape, {"Sine", "Triangle", "Pulse", "Sawtooth", "Random"}, 192);
    SetUpSlider(*m_sliderLfo1Freq, 1, 100, 10, 10);
    InitValueDisplay(*m_dispLfo1Freq, 1.0f, "%0.3f");
    FillList(*m_cbLfo2Shape, {"Sine", "Triangle", "Pulse", "Sawtooth up", "Random"}, 192);
    SetUpSlider(*m_sliderLfo2Freq, 1, 100, 10, 10);
    InitValueDisplay(*m_dispLfo2Freq, 1.0f, "%0.3f");
    FillList(*m_cbLfo3Shape, {"Sine", "Triangle", "Pulse", "Sawtooth up", "Random"}, 96);
    SetUpSlider(*m_sliderLfo3Freq, 1, 100, 10, 10);
    InitValueDisplay(*m_dispLfo3Freq, 1.0f, "%0.3f");

    for (CTextLabel* heading : {m_lblModulators, m_lblGenerator, m_lblFilter, m_lblChannel}) {
        heading->SetBkColor(kHeadingBack, 0, FALSE);
        heading->SetTextColor(kHeadingText);
        heading->SetFontBold(TRUE);
    }

    const std::pair<CTextLabel*, const char*> captions[] = {
        {m_lblLfo1Title, "-------- LFO 1 --------"}, {m_lblLfo1Freq, "FREQ"}, {m_lblLfo1Shape, "SHAPE"},
        {m_lblLfo2Title, "-------- LFO 2 --------"}, {m_lblLfo2Freq, "FREQ"}, {m_lblLfo2Shape, "SHAPE"},
        {m_lblLfo3Title, "-------- LFO 3 --------"}, {m_lblLfo3Freq, "FREQ"}, {m_lblLfo3Shape, "SHAPE"},
        {m_lblGenType, "TYPE"}, {m_lblFilterType, "TYPE"}, {m_lblInput, "INPUT"},
        {m_lblSmooth, "SMOOTH"}, {m_lblHold, "HOLD"}, {m_lblSmoothMod, "SM"}, {m_lblHoldMod, "HM"},
        {m_lblFilterQ, "Q"}, {m_lblFilterFreq, "FREQ"}, {m_lblQMod, "QM"}, {m_lblFreqMod, "FM"},
        {m_lblVolume, "VOLUME"}, {m_lblPitch, "PITCH"}, {m_lblPan, "PAN"}, {m_lblPitchMod, "FM"},
        {m_lblPanMod, "BM"}, {m_lblVolumeMod, "AM"},
    };
    for (const auto& [label, text] : captions)
        InitCaption(*label, text);

    FillList(*m_cbGenType, {"Phased White", "Uniform White", "Pink", "Resonance Pink", "Brown"}, 120);
    SetUpSlider(*m_sliderHold, 0, 100, 1, 1);
    InitValueDisplay(*m_dispHold, 1.0f, "%0.2f");
    // The slider starts at the bottom, where it reads the start amount 0 (steps).
    SetUpSlider(*m_sliderSmooth, 0, 100, 100, 1);
    InitValueDisplay(*m_dispSmooth, 0.0f, "%0.2f");
    FillSourceList(*m_cbHoldModSource);
    SetUpKnob(*m_knobHoldMod);
    FillSourceList(*m_cbSmoothModSource);
    SetUpKnob(*m_knobSmoothMod);

    SetUpSlider(*m_sliderFilterFreq, 0, 100, 10, 0);
    InitValueDisplay(*m_dispFilterFreq, 1000.0f, "%0.2f");
    SetUpSlider(*m_sliderFilterQ, 0, 100, 100, 0);
    InitValueDisplay(*m_dispFilterQ, 0.0f, "%0.2f");
    FillList(*m_cbFilterType, {"Classic LowPass", "SV LowPass", "SV HighPass", "SV BandPass", "SV Notch"}, 144);
    FillSourceList(*m_cbFreqModSource);
    FillSourceList(*m_cbQModSource);
    SetUpKnob(*m_knobFreqMod);
    SetUpKnob(*m_knobQMod);

    FillList(*m_cbInput, {"Filter", "Noise Generator"}, 72);
    SetUpSlider(*m_sliderVolume, 0, 100, 0, 0);
    InitValueDisplay(*m_dispVolume, 0.0f, "%000.0f");
    SetUpSlider(*m_sliderPan, -100, 100, 0, 0);
    InitValueDisplay(*m_dispPan, 0.0f, "%0.3f");
    m_dispPan->ShowPlusSign(1);
    SetUpSlider(*m_sliderPitch, -100, 100, 0, 0);
    InitValueDisplay(*m_dispPitch, 1.0f, "%0.2f");

    FillSourceList(*m_cbVolumeModSource);
    SetUpKnob(*m_knobVolumeMod);
    FillSourceList(*m_cbPanModSource);
    SetUpKnob(*m_knobPanMod);
    FillSourceList(*m_cbPitchModSource);
    SetUpKnob(*m_knobPitchMod);

    m_lblBadge->SetBkColor(RGB(51, 51, 51), 0, FALSE);
    m_lblBadge->SetTextColor(RGB(230, 230, 0));
    m_lblBadge->SetFontItalic(TRUE);
    m_lblBadge->SetFontSize(10);
    m_lblBadge->SetFontBold(TRUE);

    // A repeated set-up starts the sound over from the start state as well.
    {
        const QSignalBlocker block(m_btnMute);
        m_btnMute->setChecked(false);
    }
    ResetEngineToStart();

    if (!StartSound())
        return;
    OnSoundLoop();
}

void CCorvaneFormView::ResetEngineToStart()
{
    // On the first set-up these are the construction values already.
    m_nInput = 0;
    m_nMute = 0;
    m_noiseGenerator.SetType(0);
    m_noiseGenerator.SetHold(1);
    m_noiseGenerator.SetSmooth(0.0f);
    for (CNoiseFilter* filter : {static_cast<CNoiseFilter*>(&m_classicFilter), static_cast<CNoiseFilter*>(&m_svFilter)}) {
        filter->SetFrequency(1000.0f);
        filter->SetQ(0.5f);
        filter->SetType(0);
    }
    m_pFilter = &m_classicFilter;
    for (CLfo& lfo : m_lfo) {
        lfo.SetFrequency(1.0f);
        lfo.Select(0);
    }
    if (CSoundStream* stream = GetStream()) {
        stream->SetVolume(0);
        stream->SetPan(0.0f);
        stream->SetFrequency(1.0f);
    }
}

bool CCorvaneFormView::StartSound()
{
    if (GetStream())
        return true;
    // A device that failed before is replaced, never kept beside a new one.
    m_pSoundDevice = std::make_unique<CSoundDevice>();
    m_pSoundDevice->SetWindow(reinterpret_cast<HWND>(this));
    if (m_pSoundDevice->Start() == 0) {
        ShowMessage(NoSoundOutputMessage({}, false).c_str(), "Corvane");
        return false;
    }
    // No output could be opened yet: the stream is made all the same, and plays as soon as
    // the retries find an output.
    if (corvane::platform::IsOutputLost(m_pSoundDevice->GetDirectSound()))
        ShowMessage(NoSoundOutputMessage(
                        corvane::platform::OutputSystemsTried(m_pSoundDevice->GetDirectSound()), true)
                        .c_str(),
                    "Corvane");

    m_noiseBlock.Allocate(corvane::panel::kBlockSamples);
    for (CSampleBlock& block : m_lfoBlocks)
        block.Allocate(corvane::panel::kBlockSamples);
    if (m_waveTables.empty()) {
        for (unsigned shape = 0; shape < 5; ++shape) {
            auto* table = new CWaveTable;
            table->Allocate(4096);
            table->SetShape(shape);
            m_waveTables.push_back(table);
        }
    }
    for (CLfo& lfo : m_lfo) {
        lfo.SetTables(&m_waveTables);
        lfo.SetFrequency(1.0f);
        lfo.Select(0);
    }
    unsigned id = 0;
    m_pSoundDevice->CreateStream(corvane::panel::kStreamSamples, &id);
    m_bStreamAccepted = true;
    return true;
}

CSoundStream* CCorvaneFormView::GetStream() const
{
    return m_pSoundDevice ? m_pSoundDevice->FindStream(0) : nullptr;
}

const float* CCorvaneFormView::GetLfoBlock(int index) const
{
    return m_lfoBlocks[static_cast<std::size_t>(index)].GetData();
}
