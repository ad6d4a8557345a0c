// Gallery window showing the knob, the segment display and the label as the panel sets them up.
#pragma once

#include <QWidget>

#include <vector>

class COrbRotaryKnob;
class CSegmentDisplay;
class CTextLabel;

class CControlsGallery : public QWidget
{
    Q_OBJECT

public:
    explicit CControlsGallery(QWidget* parent = nullptr);

    // Writes gallery.png and enlarged close-ups of one knob and one display into dir.
    // Returns false when a file could not be written.
    bool SaveScreenshots(const QString& dir);

private:
    void OnKnobScroll(int code, int position);

    std::vector<COrbRotaryKnob*> m_knobs;
    std::vector<CSegmentDisplay*> m_displays;
    CTextLabel* m_lblEvents = nullptr;
};
