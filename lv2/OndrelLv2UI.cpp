// The LV2 UI: the plug-in's editor in an X11 window inside the host's
// (ui:parent). With instance access it shows the instrument itself: its
// texts, presets and the engine's scope, peaks and equalizer curve. Without
// it the UI keeps an instrument of its own for the texts and the preset
// library, and everything reaches the plug-in through port writes; the
// host's port notifications move the controls in both cases.
#include "editor/PluginConnection.h"
#include "editor/myEditor.h"
#include "lv2/OndrelLv2.h"
#include "platform/MessageBox.h"
#include "source/NotificationsInterface.h"
#include "toolkit/Frame.h"

#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <memory>

namespace {

const LV2_Feature* findFeature(const LV2_Feature* const* features, const char* uri)
{
    for (int i = 0; features && features[i]; ++i)
        if (std::strcmp(features[i]->URI, uri) == 0) return features[i];
    return nullptr;
}

class OndrelUi : public PluginConnection, public NotificationsInterface {
public:
    OndrelUi(LV2UI_Write_Function write, LV2UI_Controller controller, lv2::Instance* shared, const LV2UI_Resize* resize,
             const LV2UI_Touch* touch)
        : write(write), controller(controller), shared(shared), resize(resize), touch(touch)
    {
        if (shared) {
            instrument = &shared->instrument;
            shared->displaysWanted.store(true, std::memory_order_relaxed);
        } else {
            own = std::make_unique<OndrelInstrument>();
            own->getEngine().setup(OndrelInstrument::kMinimumSampleRate);
            own->getPresetManager().loadAllPresets();
            own->selectInitProgram();
            own->applyCurrentProgram([](int, float) {});
            instrument = own.get();
        }
        editor = std::make_unique<myEditor>(this, &instrument->getPresetManager(), this);
        lastProgram = instrument->currentProgram();
    }

    ~OndrelUi() override
    {
        editor->close();
        if (shared) shared->displaysWanted.store(false, std::memory_order_relaxed);
    }

    bool open(void* parent, LV2UI_Widget* widget)
    {
        if (!editor->open(parent)) return false;
        CFrame* frame = editor->getFrame();
        *widget = frame && frame->getPlatformWindow() ? frame->getPlatformWindow()->getNativeHandle() : nullptr;
        if (resize) resize->ui_resize(resize->handle, (int)editor->getWidth(), (int)editor->getHeight());
        return true;
    }

    // A control port's value from the host: the instrument takes it when it
    // differs from the program's active value (so that the echo of the UI's
    // own writes changes nothing), and the control follows.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
    {
        if (port >= lv2::kNumControlPorts || format != 0 || size != sizeof(float) || !buffer) return;
        float v;
        std::memcpy(&v, buffer, sizeof v);
        if (v != instrument->getParameter((int)port) && !instrument->setParameter((int)port, v)) return;
        editor->updateControl((int)port, v);
    }

    int idle()
    {
        if (shared) {
            char text[128], title[64];
            if (instrument->takeFloatGuardWarning(text, sizeof text, title, sizeof title))
                Platform::showMessageBox(text, title);
        }
        // A program chosen elsewhere (a state the host restored): the
        // controls, the host's ports and the tool bar follow.
        if (instrument->currentProgram() != lastProgram) {
            applyCurrentProgram();
            editor->presetsChanged();
        }
        editor->idle();
        return 0;
    }

    // PluginConnection
    float getParameter(int index) override { return instrument->getParameter(index); }
    void getParameterDisplay(int index, char* text) override { instrument->getParameterDisplay(index, text); }
    void getParameterLabel(int index, char* text) override { instrument->getParameterLabel(index, text); }
    void beginEdit(int index) override
    {
        if (touch) touch->touch(touch->handle, (uint32_t)index, true);
    }
    void endEdit(int index) override
    {
        if (touch) touch->touch(touch->handle, (uint32_t)index, false);
    }
    void setParameterAutomated(int index, float value) override
    {
        if (!instrument->setParameter(index, value)) return;
        editor->updateControl(index, value);
        writePort(index, value);
    }
    bool sizeWindow(int width, int height) override
    {
        return resize && resize->ui_resize(resize->handle, width, height) == 0;
    }
    SynthEngine& getEngine() override { return instrument->getEngine(); }

    // NotificationsInterface: the tool bar chose a program or switched
    // between its stored and edited values.
    void programChanged() override { applyCurrentProgram(); }
    void programValuesChanged() override { applyCurrentProgram(); }

private:
    void writePort(int index, float value)
    {
        if (write) write(controller, (uint32_t)index, sizeof value, 0, &value);
    }
    void applyCurrentProgram()
    {
        lastProgram = instrument->currentProgram();
        instrument->applyCurrentProgram([this](int i, float v) {
            editor->updateControl(i, v);
            writePort(i, v);
        });
    }

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    lv2::Instance* shared;
    const LV2UI_Resize* resize;
    const LV2UI_Touch* touch;
    std::unique_ptr<OndrelInstrument> own;
    OndrelInstrument* instrument = nullptr;
    std::unique_ptr<myEditor> editor;
    Program* lastProgram = nullptr;
};

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    if (!widget || !pluginUri || std::strcmp(pluginUri, lv2::kPluginUri) != 0) return nullptr;
    const LV2_Feature* parent = findFeature(features, LV2_UI__parent);
    if (!parent || !parent->data) return nullptr;
    lv2::Instance* shared = nullptr;
    if (const LV2_Feature* access = findFeature(features, LV2_INSTANCE_ACCESS_URI)) {
        auto* candidate = static_cast<lv2::Instance*>(access->data);
        if (candidate && candidate->magic == lv2::Instance::kMagic && candidate->layout == sizeof(lv2::Instance))
            shared = candidate;
    }
    const LV2_Feature* resize = findFeature(features, LV2_UI__resize);
    const LV2_Feature* touch = findFeature(features, LV2_UI__touch);
    try {
        auto ui = std::make_unique<OndrelUi>(write, controller, shared,
                                             resize ? static_cast<const LV2UI_Resize*>(resize->data) : nullptr,
                                             touch ? static_cast<const LV2UI_Touch*>(touch->data) : nullptr);
        if (!ui->open(parent->data, widget)) return nullptr;
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) { delete static_cast<OndrelUi*>(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    static_cast<OndrelUi*>(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) { return static_cast<OndrelUi*>(handle)->idle(); }

const void* extensionData(const char* uri)
{
    static const LV2UI_Idle_Interface idleInterface = {idle};
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
