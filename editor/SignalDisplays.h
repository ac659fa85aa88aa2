// The four views that show what the synthesizer does: an oscilloscope of
// the left output with a trigger and a zoom slider, stereo peak meters with
// holders, the amplitude envelope as its four sliders set it, and the
// equalizer's response curve. The editor feeds them on the user-interface
// thread: the scope and the meters from the engine's published data on its
// display pass, the envelope and the curve when their parameters change.
#pragma once

#include "editor/SkinColours.h"
#include "source/engine/ModuleADSR.h"
#include "toolkit/Control.h"

#include <atomic>
#include <vector>

// Oscilloscope. Its tag is always kScopeTag; it has no value of its own.
class CStereoWavsView : public CControl {
public:
    static constexpr int32_t kScopeTag = 19002;

    CStereoWavsView(const CRect& size, IControlListener* listener, int32_t tag, int length);

    CLASS_METHODS(CStereoWavsView, CControl)

    // Unrolls the engine's ring (oldest sample first, from `writeIndex`),
    // finds the trigger and marks the view dirty. The ring's samples are
    // read one by one while the audio thread may be writing others.
    void copyFromEngine(const std::atomic<float>* ring, int writeIndex);

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;

    const std::vector<float>& getSamples() const { return samples; }
    int getTriggerIndex() const { return triggerIndex; }
    float getZoom() const { return zoom; }
    bool isZoomHover() const { return zoomHover; }
    const CRect& getZoomTrack() const { return zoomTrack; }
    // The zoom track for the view's current size (as the next drawing places it).
    CRect zoomTrackFor() const;

    static constexpr CColor kTrace{223, 223, 223};
    static constexpr CColor kBack{53, 53, 53};

private:
    std::vector<float> samples;
    int length;
    int triggerIndex = 0;
    float zoom = 0.5f;
    CRect zoomTrack;
    double zoomTrackWidth = 0;
    bool zoomHover = false;
};

// Stereo peak meters: levels that rise at once and fall by a tenth of full
// scale per drawing, with holders that only rise until a click resets them.
class CStereoPeaksView : public CControl {
public:
    explicit CStereoPeaksView(const CRect& size);

    CLASS_METHODS(CStereoPeaksView, CControl)

    void setColours(const PeakColours& colours);
    // The latest peak pair; the editor marks the view dirty after it.
    void setInput(float left, float right)
    {
        inputLeft = left;
        inputRight = right;
    }
    void resetHolders();

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    float getShownLeft() const { return shownLeft; }
    float getShownRight() const { return shownRight; }
    double getHoldLeft() const { return holdLeft; }
    double getHoldRight() const { return holdRight; }

    static constexpr float kFallPerDraw = 0.1f;

private:
    float inputLeft = 0, inputRight = 0;
    float shownLeft = 0, shownRight = 0;
    double holdLeft, holdRight;
    bool drawBars = true;
    PeakColours colours{CColor(46, 46, 46),    CColor(32, 32, 32), CColor(200, 200, 200),
                        CColor(215, 215, 215), CColor(215, 0, 0),  CColor(221, 221, 255)};
};

// The amplitude envelope drawn from an envelope model: one attack, decay,
// sustain and release cycle at full velocity over eight seconds.
class CEnvDisplay : public CView {
public:
    explicit CEnvDisplay(const CRect& size);

    CLASS_METHODS(CEnvDisplay, CView)

    // A new value of "Attack1", "Decay1", "Sustain1" or "Release1" (0..3 for
    // the four); recomputes the model and marks the view dirty.
    void setEnvelopeValue(int which, float value);
    const ModuleADSR& getModel() const { return model; }

    void draw(CDrawContext* context) override;

    static constexpr CColor kFill{32, 32, 50};
    static constexpr CColor kLine{201, 201, 255};

private:
    ModuleADSR model;
};

// The equalizer's response: 512 points mapped to 0..1, drawn across the plot.
class CPlotDisplay : public CView {
public:
    static constexpr int kPoints = 512;

    explicit CPlotDisplay(const CRect& size);

    CLASS_METHODS(CPlotDisplay, CView)

    void setCurve(const std::atomic<float>* points);
    const float* getCurve() const { return curve; }

    void draw(CDrawContext* context) override;

    static constexpr CColor kAxis{102, 102, 125};
    static constexpr CColor kLine{201, 201, 255};

private:
    float curve[kPoints];
};
