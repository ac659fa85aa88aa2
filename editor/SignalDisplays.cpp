#include "editor/SignalDisplays.h"

#include "toolkit/DrawContext.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- oscilloscope

CStereoWavsView::CStereoWavsView(const CRect& size, IControlListener* listener, int32_t, int ringLength)
    : CControl(size, listener, kScopeTag), length(ringLength > 0 ? ringLength : 0)
{
    // A ramp until the first copy, so an open editor never shows garbage.
    samples.resize(length);
    for (int i = 0; i < length; ++i) samples[i] = length > 1 ? -1.0f + 2.0f * i / (length - 1) : 0.0f;
}

void CStereoWavsView::copyFromEngine(const std::atomic<float>* ring, int writeIndex)
{
    if (samples.empty() || !ring) return;
    const int w = writeIndex & (length - 1);
    for (int i = 0; i < length; ++i) samples[i] = ring[(w + i) & (length - 1)].load(std::memory_order_relaxed);
    // A strictly rising zero crossing over three samples.
    triggerIndex = 0;
    for (int i = 1; i <= length - 3; ++i) {
        const float a = samples[i], b = samples[i + 1], c = samples[i + 2];
        if (a < 0 && 0 < c && a < b && b < c) {
            triggerIndex = i;
            break;
        }
    }
    setDirty();
}

CRect CStereoWavsView::zoomTrackFor() const
{
    const CCoord w = getWidth(), h = getHeight();
    return CRect(m_size.left + 0.32 * w, m_size.bottom - 0.07 * h, m_size.left + 0.64 * w, m_size.bottom - 0.02 * h);
}

void CStereoWavsView::draw(CDrawContext* context)
{
    const CCoord left = m_size.left, top = m_size.top;
    const CCoord h = getHeight();
    const int w = (int)getWidth();
    context->setDrawMode(kAliasing);
    context->setFillColor(kBack);
    context->drawRect(m_size, kDrawFilled);
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(1);
    context->setFrameColor(kGreyCColor);
    context->drawLine({left, top + 0.5 * h}, {m_size.right, top + 0.5 * h});
    context->setFrameColor(CColor(223, 53, 53, 111));
    context->drawLine({left, top + 0.98 * h}, {m_size.right, top + 0.98 * h});
    context->drawLine({left, top + 0.02 * h}, {m_size.right, top + 0.02 * h});

    if (!samples.empty() && w > 1) {
        // One point per column; the last column starts a line of its own and
        // so shows nothing.
        std::vector<CPoint> trace;
        trace.reserve(w);
        const double span = (double)zoom * zoom / (w - 1) * length;
        for (int i = 0; i < w - 1; ++i) {
            const int k = ((int)(i * span + 0.5) + triggerIndex) & (length - 1);
            const double s = samples[k];
            trace.emplace_back(left + i, top + 0.98 * h + (s + 1) / 2 * (2 - 0.96 * h) - 1);
        }
        context->setFrameColor(kTrace);
        context->drawLines(trace);
    }

    zoomTrack = zoomTrackFor();
    zoomTrackWidth = 0.32 * getWidth();
    context->setDrawMode(kAliasing);
    context->setFillColor(CColor(98, 98, 98, 111));
    context->drawRect(zoomTrack, kDrawFilled);
    context->setFillColor(CColor(98, 255, 98, zoomHover ? 111 : 53));
    // The handle grows from the track's left edge with the zoom.
    context->drawRect(
        CRect(zoomTrack.left, zoomTrack.top, zoomTrack.left + zoom * zoomTrackWidth + 1, zoomTrack.bottom),
        kDrawFilled);
    setDirty(false);
}

CMouseEventResult CStereoWavsView::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    zoomTrack = zoomTrackFor();
    zoomTrackWidth = 0.32 * getWidth();
    if (!buttons.isLeftButton() || !zoomTrack.pointInside(where)) return kMouseEventNotHandled;
    zoomHover = true;
    return onMouseMoved(where, buttons);
}

CMouseEventResult CStereoWavsView::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    zoomTrack = zoomTrackFor();
    zoomTrackWidth = 0.32 * getWidth();
    if (buttons.getButtonState() == 0) {
        if (zoomTrack.pointInsideClosed(where)) {
            zoomHover = true;
            setDirty();
        }
    } else if (buttons & kLButton) {
        zoom = (float)std::clamp((where.x - zoomTrack.left) / zoomTrackWidth, 0.0, 1.0);
        setDirty();
    }
    return kMouseEventHandled;
}

CMouseEventResult CStereoWavsView::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventHandled; }

CMouseEventResult CStereoWavsView::onMouseExited(CPoint&, const CButtonState&)
{
    zoomHover = false;
    setDirty();
    return kMouseEventHandled;
}

// ---------------------------------------------------------------- peak meters

CStereoPeaksView::CStereoPeaksView(const CRect& size) : CControl(size, nullptr, -1)
{
    holdLeft = holdRight = size.bottom - 2;
}

void CStereoPeaksView::setColours(const PeakColours& c)
{
    colours = c;
    setDirty();
}

void CStereoPeaksView::resetHolders() { holdLeft = holdRight = m_size.bottom - 2; }

void CStereoPeaksView::draw(CDrawContext* context)
{
    const CCoord left = m_size.left, top = m_size.top, right = m_size.right, bottom = m_size.bottom;
    const CCoord w = right - left;
    const CCoord m = right - w / 2 - 3;
    context->setDrawMode(kAliasing);
    context->setLineWidth(1);
    context->setFrameColor(colours.barFrame);
    context->setFillColor(colours.barFill);
    const CRect leftBar(left, top, m, bottom);
    const CRect rightBar(right - (m - left), top, right, bottom);
    if (drawBars) {
        context->drawRect(leftBar, kDrawFilledAndStroked);
        context->drawRect(rightBar, kDrawFilledAndStroked);
    }
    const float inL = std::clamp(inputLeft, 0.0f, 1.0f);
    const float inR = std::clamp(inputRight, 0.0f, 1.0f);
    shownLeft = std::max(shownLeft - kFallPerDraw, inL);
    shownRight = std::max(shownRight - kFallPerDraw, inR);
    const CCoord yL = (bottom - 1) - (bottom - top) * shownLeft;
    const CCoord yR = (bottom - 1) - (bottom - top) * shownRight;
    context->setFillColor(colours.level);
    context->drawRect(CRect(left + 1, yL, m - 1, bottom - 1), kDrawFilled);
    context->drawRect(CRect(rightBar.left + 1, yR, right - 1, bottom - 1), kDrawFilled);
    // Holders only rise; a level above the top counts as top + 1.
    const CCoord topL = std::max(yL, top + 1), topR = std::max(yR, top + 1);
    if (topL < holdLeft) holdLeft = topL + 1;
    if (topR < holdRight) holdRight = topR + 1;
    auto holder = [&](const CRect& bar, double at) {
        context->setFrameColor(at <= top + 10 ? colours.holderNearFull : colours.holder);
        context->drawRect(CRect(bar.left + 1, at, bar.right - 1, at + 3), kDrawStroked);
    };
    holder(leftBar, holdLeft);
    holder(rightBar, holdRight);
    setDirty(false);
}

CMouseEventResult CStereoPeaksView::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (!buttons.isLeftButton() || !m_size.pointInside(where)) return kMouseEventNotHandled;
    resetHolders();
    setDirty();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

// ---------------------------------------------------------------- envelope

CEnvDisplay::CEnvDisplay(const CRect& size) : CView(size)
{
    // Two model steps per pixel column at a quarter of the width per second:
    // eight seconds across the view.
    model.reset(0.5f, 0.5f, (float)(size.getWidth() / 4));
}

void CEnvDisplay::setEnvelopeValue(int which, float v)
{
    switch (which) {
    case 0:
        model.attack = 2 * v * v + 0.051f;
        break;
    case 1:
        model.decay = 2 * v * v + 0.01f;
        break;
    case 2: {
        float s = 0.999f * v + 0.002f;
        model.sustain = s < 0.001f ? 0.0f : s;
        break;
    }
    case 3:
        model.release = 2 * v * v;
        break;
    default:
        return;
    }
    model.recompute();
    setDirty();
}

void CEnvDisplay::draw(CDrawContext* context)
{
    const CCoord left = m_size.left, top = m_size.top;
    const int w = (int)getWidth();
    const int H = (int)(getHeight() - 5);
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(1);
    context->setFillColor(kFill);
    context->setFrameColor(kLine);
    context->drawRect(m_size, kDrawFilledAndStroked);

    model.stage = ModuleADSR::kIdle;
    model.level = 0.0f;
    model.repeatCounter = 0;
    model.trigger(127);
    std::vector<CPoint> line;
    line.reserve(w);
    line.emplace_back(left + 2, m_size.bottom - 5);
    for (int x = 2; x < w; ++x) {
        const float a = model.tick();
        const float b = model.tick();
        if (x == w / 2 + 10) model.noteOff();
        line.emplace_back(left + x, top + (H - b * H) + 1);
        if (a < 0.0001f) break;
    }
    context->drawLines(line);
    setDirty(false);
}

// ---------------------------------------------------------------- equalizer curve

CPlotDisplay::CPlotDisplay(const CRect& size) : CView(size)
{
    for (int i = 0; i < kPoints; ++i) curve[i] = i / 511.0f;
}

void CPlotDisplay::setCurve(const std::atomic<float>* points)
{
    if (!points) return;
    for (int i = 0; i < kPoints; ++i) curve[i] = points[i].load(std::memory_order_relaxed);
    setDirty();
}

void CPlotDisplay::draw(CDrawContext* context)
{
    const CCoord left = m_size.left, top = m_size.top;
    const int w = (int)getWidth();
    const int H = (int)(getHeight() - 5);
    context->setDrawMode(kAntiAliasing);
    context->setLineWidth(1);
    context->setFrameColor(kAxis);
    context->drawLines({{left, top}, {left, m_size.bottom - 1}, {m_size.right, m_size.bottom - 1}});
    std::vector<CPoint> line;
    line.reserve(w);
    for (int x = 1; x < w - 1; ++x) {
        const int i = std::min((int)(x * 511.0 / w + 0.5), kPoints - 1);
        line.emplace_back(left + x, top + (H - H * curve[i]) + 1);
    }
    context->setFrameColor(kLine);
    context->drawLines(line);
    setDirty(false);
}
