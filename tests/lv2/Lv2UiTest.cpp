// The LV2 UI in a plain X11 parent window of a virtual display, loaded from
// the binary lilv names: opened with instance access while the plug-in runs,
// fed port events, idled and closed twenty times; then once working through
// port writes alone. Any X error is counted.
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/Program.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "lv2/OndrelLv2.h"
#include "source/ParameterTable.h"
#include "tests/lv2/Lv2TestHost.h"
#include "tests/support/VirtualDisplay.h"

#include <X11/Xlib.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>

#include <fstream>
#include <iterator>
#include <string>

#include <vector>

namespace {

int& g_xErrors = testing_support::EditorWindowDisplay::xErrors();

const auto* g_environment = ::testing::AddGlobalTestEnvironment(new testing_support::EditorWindowDisplay);

class Lv2Ui : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = XOpenDisplay(nullptr);
        ASSERT_TRUE(display);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 600, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        g_xErrors = 0;
    }
    void TearDown() override
    {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    unsigned children()
    {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        XQueryTree(display, window, &root, &parent, &list, &count);
        if (list) XFree(list);
        return count;
    }

    Display* display = nullptr;
    Window window = 0;
    Lv2TestHost host{ONDREL_LV2_BUNDLE_DIR, lv2::kPluginUri};
};

TEST_F(Lv2Ui, OpensIdlesAndClosesTwentyTimesWithTheInstance)
{
    ASSERT_TRUE(host.instantiate(44100.0));
    std::vector<float> l, r;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        Lv2TestHost::Ui ui;
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
    const std::string path = std::string(ONDREL_LV2_BUNDLE_DIR) + "/Presets/Factory/Lead/Echo Lead.yaml";
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(text.empty());
    text.push_back(0);
    Parameters parameters;
    fillParameterTable(parameters);
    ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    std::unique_ptr<Program> preset = factory.loadProgramFile(path);
    ASSERT_TRUE(preset);

    ASSERT_TRUE(host.instantiate(44100.0));
    Lv2TestHost::Ui ui;
    ASSERT_TRUE(host.openUi(ui, window, true));
    ui.idle->idle(ui.handle);
    ui.writes.clear();
    Lv2TestHost::Store state;
    state[host.map(lv2::kProgramStateUri)] = {host.map(LV2_ATOM__String), 0, text};
    ASSERT_EQ(host.restoreState(state), LV2_STATE_SUCCESS);
    ui.idle->idle(ui.handle);
    ASSERT_EQ(ui.writes.size(), (size_t)kNumParameters);
    for (const auto& [port, value] : ui.writes) EXPECT_EQ(value, preset->getValue((int)port)) << port;
    host.closeUi(ui);
}

TEST_F(Lv2Ui, WorksThroughPortsWithoutTheInstance)
{
    Lv2TestHost::Ui ui;
    ASSERT_TRUE(host.openUi(ui, window, false));
    const float v = 0.25f;
    ui.descriptor->port_event(ui.handle, kWave, sizeof v, 0, &v);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ui.idle->idle(ui.handle), 0);
    EXPECT_TRUE(ui.writes.empty()) << "a host's value is not written back";
    host.closeUi(ui);
    EXPECT_EQ(g_xErrors, 0);
}

TEST_F(Lv2Ui, RefusesAHostWithoutAParentWindow)
{
    Lv2TestHost::Ui ui;
    EXPECT_FALSE(host.openUi(ui, 0, false));
    host.closeUi(ui);
}

}  // namespace
