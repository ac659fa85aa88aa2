// The LV2 UI in a plain X11 parent window of a virtual display, loaded from
// the binary lilv names: opened with instance access while the plug-in runs,
// fed port events, idled and closed twenty times; clicked with real X11
// pointer events (XTest) with and without instance access. Any X error is
// counted.
#include "lv2/OndrelLv2.h"
#include "tests/lv2/Lv2TestSupport.h"
#include "tests/support/Files.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/HostWindow.h"  // after gtest: Xlib defines None and Bool
#include "tools/lv2host/Lv2Host.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

int& g_xErrors = testing_support::EditorWindowDisplay::xErrors();

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new testing_support::EditorWindowDisplay);

// The factory preset file holding these values (by port), or "".
std::string factoryPresetWith(const std::map<uint32_t, float>& values)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kFactory)) {
        if (entry.path().extension() != ".yaml") continue;
        std::unique_ptr<Program> preset = factoryPreset(entry.path().string());
        bool same = preset != nullptr;
        for (const auto& [port, value] : values) same = same && preset->getValue((int)port) == value;
        if (same) return entry.path().string();
    }
    return "";
}

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(display);
        g_xErrors = 0;
    }
    unsigned children() { return (unsigned)parent.children().size(); }

    testing_support::HostWindow parent;
    Display* display = parent.display;
    Window window = parent.window;
    Lv2Host host{lv2::kPluginUri, kBundle};
};

// No UI for a host without a parent window; twenty with one.
TEST_F(Lv2Ui, OpensIdlesAndClosesTwentyTimesWithTheInstance)
{
    Lv2Host::Ui orphan;
    EXPECT_FALSE(host.openUi(orphan, 0, false));
    host.closeUi(orphan);
    ASSERT_TRUE(host.instantiate(44100.0));
    std::vector<float> l, r;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Lv2Host::Ui ui;
        ASSERT_TRUE(host.openUi(ui, window, true));
        ASSERT_TRUE(ui.widget);
        ASSERT_TRUE(ui.idle);
        XSync(display, False);
        EXPECT_EQ(children(), 1u) << "the UI's window inside the parent";
        host.queueMidi(0, 0x90, 60 + round, 100);
        for (int i = 0; i < 5; ++i) {
            const float v = (float)((round + i) % 10) / 9.0f;
            host.control(kPan) = v;
            ui.descriptor->port_event(ui.handle, kPan, sizeof v, 0, &v);
            host.run(512, l, r);
            EXPECT_EQ(ui.idle->idle(ui.handle), 0);
        }
        host.closeUi(ui);
        XSync(display, False);
        EXPECT_EQ(children(), 0u) << "the UI's window is gone";
    }
    EXPECT_EQ(g_xErrors, 0);
}

TEST_F(Lv2Ui, AStateTheHostRestoresReachesTheControlsAndPorts)
{
    const std::string path = kFactory + "Lead/Echo Lead.yaml";
    const std::string yaml = testing_support::readFile(path);
    ASSERT_FALSE(yaml.empty());
    const std::vector<uint8_t> text(yaml.c_str(), yaml.c_str() + yaml.size() + 1);  // with its terminator
    std::unique_ptr<Program> preset = factoryPreset(path);
    ASSERT_TRUE(preset);

    ASSERT_TRUE(host.instantiate(44100.0));
    Lv2Host::Ui ui;
    ASSERT_TRUE(host.openUi(ui, window, true));
    ui.idle->idle(ui.handle);
    ui.writes.clear();
    Lv2Host::Store state;
    state[host.map(lv2::kProgramStateUri)] = {host.map(LV2_ATOM__String), 0, text};
    ASSERT_EQ(host.restoreState(state), LV2_STATE_SUCCESS);
    ui.idle->idle(ui.handle);
    ASSERT_EQ(ui.writes.size(), (size_t)kNumParameters);
    for (const auto& [port, value] : ui.writes) EXPECT_EQ(value, preset->getValue((int)port)) << port;
    host.closeUi(ui);
}

// A click on a switch of the editor and on the tool bar's category stepper,
// as a person makes them: with instance access the plug-in's instrument
// takes the edit at once; without it the edit and the chosen program's
// values reach the plug-in as port writes, taken at the next block.
TEST_F(Lv2Ui, MouseEditsReachThePlugInWithOrWithoutTheInstance)
{
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor));
    ASSERT_TRUE(host.instantiate(44100.0));
    const OndrelInstrument& plugin = static_cast<lv2::Instance*>(lilv_instance_get_handle(host.instance()))->instrument;
    for (bool access : {false, true}) {
        SCOPED_TRACE(access);
        Lv2Host::Ui ui;
        ASSERT_TRUE(host.openUi(ui, window, access));
        const float v = 0.25f;
        ui.descriptor->port_event(ui.handle, kWave, sizeof v, 0, &v);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(ui.idle->idle(ui.handle), 0);
        EXPECT_TRUE(ui.writes.empty()) << "a host's value is not written back";

        // At the default size: the reverb's switch, then the left half of the category stepper
        // (the previous category's first program).
        const float reverbOn = plugin.getParameter(kReverbOn);
        for (const auto& [x, y] : {std::pair{762, 289}, std::pair{245, 41}}) {
            const size_t before = ui.writes.size();
            int rootX = 0, rootY = 0;
            Window child = 0;
            XTranslateCoordinates(display, (Window)ui.widget, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
            XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
            XTestFakeButtonEvent(display, 1, True, CurrentTime);
            XTestFakeButtonEvent(display, 1, False, CurrentTime);
            XSync(display, False);
            for (int i = 0; i < 100 && ui.writes.size() == before; ++i) {
                ui.idle->idle(ui.handle);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ASSERT_GT(ui.writes.size(), before);
            if (before == 0) {
                ASSERT_EQ(ui.writes.size(), 1u);
                EXPECT_EQ(ui.writes[0].first, (uint32_t)kReverbOn);
                EXPECT_NE(ui.writes[0].second, reverbOn) << "the switch turned";
                EXPECT_EQ(plugin.getParameter(kReverbOn), access ? ui.writes[0].second : reverbOn);
            }
        }
        // The stepper wrote every parameter of a factory program.
        std::map<uint32_t, float> written(ui.writes.begin() + 1, ui.writes.end());
        ASSERT_EQ(written.size(), (size_t)kNumParameters);
        EXPECT_FALSE(factoryPresetWith(written).empty());
        std::vector<float> l, r;
        host.run(512, l, r);
        for (const auto& [port, value] : written) EXPECT_EQ(plugin.getParameter((int)port), value) << port;
        host.closeUi(ui);
    }
    EXPECT_EQ(g_xErrors, 0);
}

}  // namespace
