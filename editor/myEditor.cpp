#include "editor/myEditor.h"

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "editor/EditorLayout.h"
#include "editor/HelpBox.h"
#include "editor/ONDBackgroundBitmap.h"
#include "editor/PluginConnection.h"
#include "source/ParameterChoices.h"
#include "source/engine/SynthEngine.h"
#include "editor/SignalDisplays.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/MultiSwitch.h"
#include "editor/controls/SimpleOnOff.h"
#include "editor/controls/SliderFlat.h"
#include "editor/controls/SliderNano.h"
#include "toolkit/DrawContext.h"
#include "toolkit/Frame.h"

#include <cmath>
#include <cstdio>

const char* const myEditor::kSettingsKey = "Software\\Zentorial\\Ondrel";

// updateControl runs on a host's audio thread too: no hidden locks there.
static_assert(std::atomic<std::thread::id>::is_always_lock_free, "thread ids are handed over without a lock");
static_assert(std::atomic<float>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free,
              "values are handed over without a lock");

namespace {

constexpr int32_t kFlatSliderStyle = CSliderFlat::kBoxStyle | kVertical;  // 0x4002
constexpr int32_t kNanoVerticalStyle = kVertical | kTop;                  // 0x42
constexpr int32_t kNanoHorizontalStyle = 9;

bool isEnvelopeSlider(int index) { return index >= 4 && index <= 7; }

}  // namespace

// ---------------------------------------------------------------- the host side

void myEditor::Host::beginEdit(int32_t index)
{
    if (index < kNumControls) editor.plugin->beginEdit(index);
}

void myEditor::Host::endEdit(int32_t index)
{
    if (index < kNumControls) editor.plugin->endEdit(index);
}

void myEditor::Host::setParameterAutomated(int32_t index, float value)
{
    if (index >= 0 && index < kNumControls) editor.plugin->setParameterAutomated(index, value);
}

bool myEditor::Host::requestResize(int32_t w, int32_t h) { return editor.plugin->sizeWindow(w, h); }

// ---------------------------------------------------------------- life

myEditor::myEditor(PluginConnection* pluginConnection, PresetManager* presetManager,
                   NotificationsInterface* notifications)
    : GUIEditor(nullptr),
      plugin(pluginConnection),
      presets(presetManager),
      toolBar(presetManager, notifications, this),
      hasToolBar(presetManager && notifications)
{
    setEditorHost(&host);
    for (auto& v : values) v.store(0.0f, std::memory_order_relaxed);
}

void myEditor::registerFont()
{
    // Once per process, at the first open: instances whose editor is never
    // opened (a render host) do no font work at all.
    if (CFontDesc::isRegisteredFamily(fontName.c_str())) return;
    const std::string fontPath = Platform::pluginDataPath("Fonts/Tahoma_Small.ttf");
    if (!CFontDesc::registerFontFile(fontPath.c_str(), fontName.c_str()))
        std::fprintf(stderr, "Failed to register font %s\n", fontName.c_str());
}

myEditor::~myEditor() { close(); }

bool myEditor::open(void* parentWindow)
{
    close();
    registerFont();
    uiThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    // The stored scheme (an unknown index selects 0) is chosen before the
    // panel is drawn, so that each open renders the background once.
    uint32_t scheme = kDefaultColourScheme;
    settings.readNumber("colourscheme", scheme);
    const int schemeIndex = scheme < (uint32_t)kNumColourSchemes ? (int)scheme : 0;
    colour1 = colourScheme(schemeIndex).colour1;
    colour2 = colourScheme(schemeIndex).colour2;
    settings.writeNumber("colourscheme", (uint32_t)schemeIndex);
    skin.accent = colour1;
    deriveSkinColours(skin);

    float skinValue = 1.0f;
    settings.readFloat("skin", skinValue);
    const CPoint size = layout::editorSize(layout::sizeIndexForSkin(skinValue));
    width = previousWidth = size.x;
    height = previousHeight = size.y;
    scaleX = layout::scaleX(width);
    scaleY = layout::scaleY(height);
    frameRect = CRect(0, 0, width, height);

    auto* frame = new CFrame(frameRect, this);
    frame->setBackgroundColor(ONDBackgroundBitmap::kPanel);
    if (!openFrame(frame, parentWindow, windowKind)) return false;

    if (drawBackground) renderBackground(colour2);
    createKnob(0, 5);
    for (int i : {1, 14, 18, 22, 13, 17, 21, 12, 16, 20, 24, 27, 40}) createKnob(i, 1);
    if (controls[40]) controls[40]->setDefaultValue(0.27027026f);
    createKnob(41, -1);
    createKnob(42, 1);
    for (int i : {15, 19, 23, 10, 11, 28, 39, 33}) createSwitch(i);

    for (int i : {9, 3, 34, 35, 36, 37, 38}) {
        auto* slider = new CSliderFlat(rects[i], this, i, 0, (int32_t)rects[i].getWidth(), kFlatSliderStyle);
        slider->setFont(fontName.c_str());
        slider->setColours(skin.slider.unused);
        frame->addView(slider);
        controls[i] = slider;
    }
    controls[9]->setDefaultValue(1.0f);
    controls[38]->setDefaultValue(0.0f);

    auto addNano = [&](int i, int32_t style, int32_t travel) {
        rects[i] = layout::scaled(layout::slot(i).base, scaleX, scaleY);
        auto* slider = new CSliderNano(rects[i], this, i, 0, travel, style);
        slider->setColours(skin.slider);
        frame->addView(slider);
        controls[i] = slider;
    };
    const int32_t verticalTravel = (int32_t)(scaleY * 122 - scaleX * 19);
    for (int i : {4, 5, 6, 7}) addNano(i, kNanoVerticalStyle, verticalTravel);
    envDisplay = new CEnvDisplay(layout::scaled(layout::kEnvelope, scaleX, scaleY));
    frame->addView(envDisplay);
    for (int i : {29, 30}) addNano(i, kNanoVerticalStyle, verticalTravel);
    adsrHotRect = layout::scaled(layout::kAdsrHot, scaleX, scaleY);
    const int32_t horizontalTravel = (int32_t)(scaleY * 82 - scaleX * 14);
    for (int i : {31, 32}) addNano(i, kNanoHorizontalStyle, horizontalTravel);

    for (const ParameterChoices& s : kParameterChoices) {
        auto* multi = new CMultiSwitch(rects[s.index], this, s.index, s.positions);
        for (int k = 0; k < s.positions; ++k) multi->setLabel(k, s.labels[k]);
        multi->setFont(fontName.c_str());
        multi->setColours(skin.switches);
        frame->addView(multi);
        controls[s.index] = multi;
    }
    controls[2]->setDefaultValue(0.5f);

    GUIEditor::setGlobalKnobMode(kLinearMode);

    helpBox = new CToolTip(layout::scaled(layout::kHelpBox, scaleX, scaleY));
    helpBox->setFont(fontName.c_str());
    helpBox->frameColour = skin.help.frame;
    helpBox->textColour = skin.help.text;
    helpBox->setText(help::kGeneralHint);
    frame->addView(helpBox);
    // The help box shows first; the envelope drawing only once the mouse is
    // over the envelope sliders (the two would otherwise overlap until then).
    envDisplay->setVisible(false);

    peaks = new CStereoPeaksView(layout::scaled(layout::kPeaks, scaleX, scaleY));
    peaks->setColours(skin.peaks);
    frame->addView(peaks);
    scope = new CStereoWavsView(layout::scaled(layout::kScope, scaleX, scaleY), this, kScopeTag,
                                plugin->getEngine().scopeLength());
    frame->addView(scope);
    plot = new CPlotDisplay(layout::scaled(layout::kPlot, scaleX, scaleY));
    frame->addView(plot);

    if (hasToolBar) {
        // The scheme is already drawn: the tool bar's call back changes nothing then.
        toolBar.build(frameRect, frame, scaleX, scaleY, kZoomTag, fontName, layout::kNumSizes);
        toolBar.setup(schemeIndex, layout::sizeIndexForSkin(skinValue), &AboutBoxText::instance());
        presetsPending.store(false, std::memory_order_relaxed);
    }

    pending.store(0, std::memory_order_relaxed);
    for (int i = 0; i < kNumControls; ++i) updateControl(i, plugin->getParameter(i));
    lastIdleTicks = getTicks();
    return true;
}

void myEditor::clearViews()
{
    toolBar.clear();
    helpBox = nullptr;
    peaks = nullptr;
    scope = nullptr;
    plot = nullptr;
    envDisplay = nullptr;
    for (auto& c : controls) c = nullptr;
}

void myEditor::close()
{
    // Every view pointer is dropped before the frame releases the views; all
    // of this and every reader of them run on the user-interface thread.
    clearViews();
    closeFrame();
}

CControl* myEditor::getControl(int index) const
{
    return index >= 0 && index < kNumControls ? controls[index] : nullptr;
}

// ---------------------------------------------------------------- building

void myEditor::renderBackground(const CColor& accent)
{
    CFrame* frame = getFrame();
    if (!frame) return;
    const CCoord w = frame->getWidth(), h = frame->getHeight();
    auto context = COffscreenContext::create(frame, w, h);
    if (!context) return;
    context->beginDraw();
    auto background = makeOwned<ONDBackgroundBitmap>(w, h, accent, fontName);
    background->draw(context.get(), CRect(0, 0, w, h), CPoint(), 1.0f);
    for (int i = 0; i < kNumControls; ++i)
        if (background->rects[i].getWidth() != 0) rects[i] = background->rects[i];
    context->endDraw();
    frame->setBackground(context->getBitmap());
    frame->invalid();
}

void myEditor::createKnob(int index, int mode)
{
    CRect& r = rects[index];
    if (r.getWidth() <= 0) return;
    // At the base size the two knob sizes grow a little beyond their places.
    if (r.getWidth() == 52)
        r.extend(1, 1);
    else if (r.getWidth() == 41)
        r.extend(3, 3);
    auto* knob = new CKnobFlatOrvel(r, this, index, mode);
    knob->setColours(skin.knob);
    getFrame()->addView(knob);
    controls[index] = knob;
}

void myEditor::createSwitch(int index)
{
    if (rects[index].getWidth() <= 0) return;
    auto* sw = new CSimpleOnOff(rects[index], this, index);
    sw->setColours(skin.onOff());
    getFrame()->addView(sw);
    controls[index] = sw;
}

// ---------------------------------------------------------------- values

void myEditor::updateControl(int index, float value)
{
    if (index < 0 || index >= kNumControls) return;
    values[index].store(value, std::memory_order_relaxed);
    // Only the thread that opened the editor may look at the frame.
    if (std::this_thread::get_id() == uiThread.load(std::memory_order_relaxed) && isFrameOpen()) {
        applyControl(index, value);
        return;
    }
    pending.fetch_or(uint64_t(1) << index, std::memory_order_release);
}

float myEditor::controlValue(int index) const
{
    return index >= 0 && index < kNumControls ? values[index].load(std::memory_order_relaxed) : 0.0f;
}

void myEditor::applyPendingControls()
{
    uint64_t bits = pending.exchange(0, std::memory_order_acquire);
    for (int i = 0; bits && i < kNumControls; ++i, bits >>= 1)
        if (bits & 1) applyControl(i, values[i].load(std::memory_order_relaxed));
}

bool myEditor::parameterOn(int index) { return plugin->getParameter(index) >= 0.5f; }

void myEditor::setActive(int index, bool state)
{
    CControl* c = controls[index];
    if (!c) return;
    if (auto* knob = dynamic_cast<CKnobFlatSwitch*>(c))
        knob->setActive(state);
    else if (auto* nano = dynamic_cast<CSliderNano*>(c))
        nano->setActive(state);
    else if (auto* flat = dynamic_cast<CSliderFlat*>(c))
        flat->setActive(state);
    else if (auto* onOff = dynamic_cast<CSimpleOnOff*>(c))
        onOff->setActive(state);
    else if (auto* multi = dynamic_cast<CMultiSwitch*>(c))
        multi->setActive(state);
}

void myEditor::applyControl(int index, float value)
{
    CControl* control = controls[index];
    if (!getFrame() || !control) return;
    control->setValue(value);
    refreshControlText(index);
    if (envDisplay && isEnvelopeSlider(index)) envDisplay->setEnvelopeValue(index - 4, value);
    if (plot && index >= 34 && index <= 38) {
        plot->setCurve(plugin->getEngine().eqCurve());
        CView::setIdleRate(16);
    }
    const bool on = value >= 0.5f;
    switch (index) {
    case 15:
    case 19:
    case 23: {
        const int first = index == 15 ? 12 : index == 19 ? 16 : 20;
        for (int k = first; k < first + 3; ++k) setActive(k, on);
        if (index != 15) setActive(24, parameterOn(19) || parameterOn(23));
        const bool anyDelay = parameterOn(15) || parameterOn(19) || parameterOn(23);
        for (int k : {29, 30, 27, 28}) setActive(k, anyDelay);
        break;
    }
    case 33:
        setActive(31, on);
        setActive(32, on);
        break;
    case 39:
        for (int k = 34; k <= 38; ++k) setActive(k, on);
        break;
    case 26:
        for (int k : {14, 18, 22}) refreshControlText(k);
        break;
    default:
        break;
    }
}

void myEditor::refreshControlText(int index)
{
    CControl* c = controls[index];
    if (!c) return;
    char display[64] = {}, label[64] = {};
    plugin->getParameterDisplay(index, display);
    plugin->getParameterLabel(index, label);
    char text[128];
    std::snprintf(text, sizeof text, "%s %s", display, label);
    if (auto* knob = dynamic_cast<CKnobFlatSwitch*>(c))
        knob->setText(text);
    else if (auto* flat = dynamic_cast<CSliderFlat*>(c))
        flat->setText(text);
}

void myEditor::valueChanged(CControl* control)
{
    if (!control) return;
    const int32_t tag = control->getTag();
    if (tag < 0 || tag >= kNumControls) return;
    plugin->setParameterAutomated(tag, control->getValue());
    toolBar.refreshEditedMarker();
}

void myEditor::presetsChanged()
{
    if (std::this_thread::get_id() == uiThread.load(std::memory_order_relaxed) && isFrameOpen()) {
        if (presets) toolBar.refreshMenus(presets->getCurrentCategoryIndex(), presets->getCurrentProgramIndex());
        return;
    }
    presetsPending.store(true, std::memory_order_release);
}

// ---------------------------------------------------------------- scheme and size

void myEditor::colourSchemeChanged(const CColor& c1, const CColor& c2, int scheme)
{
    const bool same = c1 == colour1 && c2 == colour2 && skin.accent == c1;
    colour1 = c1;
    colour2 = c2;
    settings.writeNumber("colourscheme", (uint32_t)(scheme < 0 ? 0 : scheme));
    skin.accent = colour1;
    deriveSkinColours(skin);
    CFrame* frame = getFrame();
    if (!frame || same) return;
    if (drawBackground) renderBackground(colour2);
    for (int i = 0; i < frame->getNbViews(); ++i) {
        CView* v = frame->getView(i);
        if (auto* knob = dynamic_cast<CKnobFlatSwitch*>(v))
            knob->setColours(skin.knob);
        else if (auto* multi = dynamic_cast<CMultiSwitch*>(v))
            multi->setColours(skin.switches);
        else if (auto* onOff = dynamic_cast<CSimpleOnOff*>(v))
            onOff->setColours(skin.onOff());
        else if (auto* nano = dynamic_cast<CSliderNano*>(v))
            nano->setColours(skin.slider);
        else if (auto* flat = dynamic_cast<CSliderFlat*>(v))
            flat->setColours(skin.slider.unused);
    }
    frame->invalid();
}

void myEditor::zoomChanged(int zoomIndex)
{
    previousWidth = width;
    previousHeight = height;
    const CPoint size = layout::editorSize(zoomIndex);
    width = size.x;
    height = size.y;
    settings.writeFloat("skin", (float)zoomIndex);
    // A host that asks for the size when told of the new size gets the new
    // size, not the one the window had at opening.
    CFrame* frame = getFrame();
    if (!frame || !frame->setSize(width, height)) return;
    const CRect all(0, 0, width, height);
    frame->setViewSize(all);
    frame->setMouseableArea(all);
    frame->setDirty();
    frame->invalid();
    if (drawBackground) renderBackground(colour2);
    // Relative factors: every view grows from its present size.
    scaleX = (float)(width / previousWidth);
    scaleY = (float)(height / previousHeight);
    for (int i = 0; i < frame->getNbViews(); ++i) {
        CView* v = frame->getView(i);
        CRect r = v->getViewSize();
        r = CRect(r.left * scaleX, r.top * scaleY, r.right * scaleX, r.bottom * scaleY);
        v->setViewSize(r);
        v->setMouseableArea(r);
        if (v == helpBox) helpBox->setDirty();
        if (v == envDisplay)
            adsrHotRect = layout::scaled(layout::kAdsrHot, (float)(width / kBaseWidth), (float)(height / kBaseHeight));
    }
    toolBar.resized(all, (float)(height / kBaseHeight));
}

// ---------------------------------------------------------------- idle

void myEditor::idle()
{
    if (!isFrameOpen()) return;
    applyPendingControls();
    if (presetsPending.exchange(false, std::memory_order_acquire)) presetsChanged();
    // Host automation marks the program edited too.
    toolBar.refreshEditedMarker();
    if (!isInIdle()) idleFrame();
    const uint32_t now = getTicks();
    if (now - lastIdleTicks <= 98) return;
    lastIdleTicks = now;
    displayPass();
}

void myEditor::displayPass()
{
    if (!isFrameOpen()) return;
    updateHelpAndEnvelope();
    SynthEngine& engine = plugin->getEngine();
    if (peaks && engine.peakReady()) {
        peakLeft = std::fabs(engine.peakL());
        peakRight = std::fabs(engine.peakR());
        peaks->setInput(peakLeft, peakRight);
        peaks->setDirty();
        engine.clearPeakReady();
    }
    if (scope) scope->copyFromEngine(engine.scopeBuffer(), engine.scopeWriteIndex());
}

void myEditor::updateHelpAndEnvelope()
{
    CFrame* frame = getFrame();
    if (!frame || frame->getCurrentMouseButtons().getButtonState() != 0) return;
    if (!helpBox || frame->getModalView()) return;
    helpBox->setText(help::kGeneralHint);
    CPoint where;
    if (!frame->getCurrentMouseLocation(where)) return;
    CView* view = frame->getViewAt(where);
    if (!view) return;
    if (view->isTypeOf("CStereoPeaksView")) {
        helpBox->setText(help::kPeakMeters);
    } else if (view->isTypeOf("CStereoWavsView")) {
        helpBox->setText(help::kOscilloscope);
    } else if (view->isTypeOf("CPlotDisplay")) {
        return;
    } else if (auto* control = dynamic_cast<CControl*>(view)) {
        const int32_t t = control->getTag();
        if (t >= 0 && t < kNumControls)
            helpBox->setText(t);
        else if (t == kZoomTag)
            helpBox->setText(help::kSizeControl);
        if (envDisplay) {
            const bool envelope = adsrHotRect.pointInsideClosed(where) || isEnvelopeSlider(t);
            envDisplay->setVisible(envelope);
            helpBox->setVisible(!envelope);
        }
    }
    helpBox->setDirty();
}
