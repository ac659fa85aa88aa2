// The plug-in's editor. It exists for the whole life of the plug-in (made
// by its constructor); the host opens and closes its window any number of
// times. It builds the panel on the GUI toolkit, binds one control to each
// of the 43 parameters both ways, feeds the signal displays from the
// engine's published data, shows help for what the mouse is over, and keeps
// the two per-user settings: the editor size ("skin") and the colour scheme.
#pragma once

#include "editor/SkinColours.h"
#include "editor/ToolBar.h"
#include "platform/Settings.h"
#include "source/engine/ParameterIndex.h"
#include "toolkit/Control.h"
#include "toolkit/GUIEditor.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class PluginConnection;
class CToolTip;
class CStereoPeaksView;
class CStereoWavsView;
class CEnvDisplay;
class CPlotDisplay;
class NotificationsInterface;
class PresetManager;

class myEditor : public GUIEditor, public IControlListener, public ToolBarListener {
public:
    static constexpr int kNumControls = kNumParameters;
    static constexpr int kBaseWidth = 893;
    static constexpr int kBaseHeight = 534;
    // Tags that are no parameter index.
    static constexpr int32_t kZoomTag = 19001;
    static constexpr int32_t kScopeTag = 19002;
    // The per-user settings' key path (the registry key under HKEY_CURRENT_USER).
    static const char* const kSettingsKey;

    // `plugin` is the editor's way to the instrument and its host (whatever
    // the plug-in format). The preset library and the notifications go to the
    // tool bar (both may be null: no tool bar is built then).
    myEditor(PluginConnection* plugin, PresetManager* presetManager, NotificationsInterface* notifications);
    ~myEditor() override;

    // The host's editor operations (each format's glue calls them): open
    // inside the host's window (an X11 window id or an HWND), close, idle.
    // The size is getWidth() x getHeight(); keys go to GUIEditor's forwardKey*.
    bool open(void* parentWindow);
    void close();
    bool isOpen() const { return isFrameOpen(); }
    void idle();

    // A parameter value changed (from the host, a program or the editor
    // itself). Callable from any thread: on the thread that opened the
    // editor the control follows at once; from any other thread (a host's
    // audio thread) the value is handed over and shown at the next idle.
    void updateControl(int index, float value);
    // The last value handed over for a parameter (0 outside 0..42).
    float controlValue(int index) const;

    // IControlListener: the user moved a control.
    void valueChanged(CControl* control) override;

    // What the tool bar tells the editor: a colour scheme (its two colours and
    // its index) or an editor size (index 0..5) was chosen.
    void colourSchemeChanged(const CColor& colour1, const CColor& colour2, int scheme) override;
    void zoomChanged(int zoomIndex) override;

    // The library's list or current program changed outside the tool bar (a
    // host chunk): the tool bar's menus follow, at once on the thread that
    // opened the editor, else at the next idle.
    void presetsChanged();

    // The window kind of the next open: the OS's own by default; tests and
    // the screenshot tool open headless.
    void setWindowKind(PlatformType kind) { windowKind = kind; }

    // State, for tests and tools.
    CControl* getControl(int index) const;
    CToolTip* getHelpBox() const { return helpBox; }
    CStereoPeaksView* getPeaksView() const { return peaks; }
    CStereoWavsView* getScopeView() const { return scope; }
    CEnvDisplay* getEnvDisplay() const { return envDisplay; }
    CPlotDisplay* getPlotView() const { return plot; }
    const SkinColours& getSkinColours() const { return skin; }
    CColor getColour1() const { return colour1; }
    CColor getColour2() const { return colour2; }
    double getWidth() const { return width; }
    double getHeight() const { return height; }
    const CRect& getAdsrHotRect() const { return adsrHotRect; }
    const Platform::SettingsStore& getSettings() const { return settings; }
    const std::string& getFontName() const { return fontName; }
    ToolBar& getToolBar() { return toolBar; }

private:
    // Forwards the controls' edits and the frame's resize requests to the host.
    class Host : public EditorHost {
    public:
        explicit Host(myEditor& editor) : editor(editor) {}
        void beginEdit(int32_t index) override;
        void endEdit(int32_t index) override;
        void setParameterAutomated(int32_t index, float value) override;
        bool requestResize(int32_t width, int32_t height) override;

    private:
        myEditor& editor;
    };

    void registerFont();
    void renderBackground(const CColor& accent);
    void createKnob(int index, int mode);
    void createSwitch(int index);
    // Shows a value in its control, with everything that follows from it
    // (texts, envelope drawing, equalizer curve, enabled states).
    void applyControl(int index, float value);
    void applyPendingControls();
    void refreshControlText(int index);
    void setActive(int index, bool state);
    bool parameterOn(int index);
    void updateHelpAndEnvelope();
    void displayPass();
    void clearViews();

    PluginConnection* plugin;
    Host host{*this};
    PlatformType windowKind = PlatformType::kDefault;

    CControl* controls[kNumControls] = {};
    CRect rects[kNumControls];
    float scaleX = 1, scaleY = 1;
    CToolTip* helpBox = nullptr;
    double width = kBaseWidth, height = kBaseHeight;
    double previousWidth = kBaseWidth, previousHeight = kBaseHeight;
    CRect frameRect{0, 0, kBaseWidth, kBaseHeight};
    float peakLeft = 0, peakRight = 0;
    CStereoPeaksView* peaks = nullptr;
    CPlotDisplay* plot = nullptr;
    CEnvDisplay* envDisplay = nullptr;
    CStereoWavsView* scope = nullptr;
    int drawBackground = 1;
    std::string fontName = "Tahoma_Small";
    SkinColours skin;
    CColor colour1 = kInitialColour1, colour2 = kInitialColour2;
    Platform::SettingsStore settings{kSettingsKey};
    CRect adsrHotRect;
    uint32_t lastIdleTicks = 0;
    PresetManager* presets;
    ToolBar toolBar;
    bool hasToolBar;
    std::atomic<bool> presetsPending{false};

    // Hand-over of values set on other threads.
    std::atomic<float> values[kNumControls];
    std::atomic<uint64_t> pending{0};
    std::atomic<std::thread::id> uiThread{};
};
