// The plug-in created in the test program through its entry point, with its
// editor opened headless: the data folder is the build's bundle, the user
// settings live in a temporary folder, the toolkit's clock is the test's,
// and messages to the user are recorded.
#pragma once

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "editor/myEditor.h"
#include "platform/MessageBox.h"
#include "source/OndrelPlugin.h"
#include "source/PluginEntry.h"
#include "toolkit/Frame.h"
#include "toolkit/Timer.h"
#include "toolkit/headless/HeadlessWindow.h"
#include "tools/host/PluginHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

class EditorTest : public ::testing::Test {
public:
    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> list;
        return list;
    }
    static uint64_t& now()
    {
        static uint64_t value = 1000000;
        return value;
    }

protected:
    static void SetUpTestSuite()
    {
        static char folder[] = "/tmp/ondrel-editor-test-XXXXXX";
        static bool made = mkdtemp(folder) != nullptr;
        if (made) setenv("XDG_CONFIG_HOME", folder, 1);
        Platform::setMessageRecorder(
            [](const char* text, const char* title) { messages().push_back(std::string(title) + "|" + text); });
    }

    void SetUp() override
    {
        Platform::setDataFolderOverride(dataFolder);
        std::remove(Platform::SettingsStore(myEditor::kSettingsKey).filePath().c_str());
        setToolkitClock([] { return now(); });
        messages().clear();
        createInstance();
    }

    void TearDown() override
    {
        host.reset();
        setToolkitClock(nullptr);
    }

    void createInstance()
    {
        host = std::make_unique<PluginHost>();
        std::string error;
        ASSERT_TRUE(host->create(ondrelEntry, error)) << error;
        host->start(44100.0f, 512);
        plugin = static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(host->effect()->object));
        editor = plugin->getMyEditor();
        editor->setWindowKind(PlatformType::kHeadless);
    }

    void open() { ASSERT_TRUE(editor->open(nullptr)); }
    CFrame* frame() const { return editor->getFrame(); }
    HeadlessWindow* window() const { return HeadlessWindow::of(editor->getFrame()); }
    CControl* control(int i) const { return editor->getControl(i); }
    CPoint centre(int i) const { return control(i)->getViewSize().getCenter(); }

    // One idle with a display pass (the clock moves on by 100 ms).
    void displayPass()
    {
        now() += 100;
        editor->idle();
    }
    CColor pixel(CCoord x, CCoord y)
    {
        editor->idle();
        return window()->getPixel((int)x, (int)y);
    }

    void down(CPoint p, int32_t buttons = kLButton) { frame()->platformOnMouseDown(p, CButtonState(buttons)); }
    void move(CPoint p, int32_t buttons = kLButton) { frame()->platformOnMouseMoved(p, CButtonState(buttons)); }
    void up(CPoint p, int32_t buttons = kLButton) { frame()->platformOnMouseUp(p, CButtonState(buttons)); }
    void click(CPoint p) { down(p), up(p); }
    void drag(CPoint from, CCoord dx, CCoord dy)
    {
        down(from);
        for (int i = 1; i <= 10; ++i) move(CPoint(from.x + dx * i / 10, from.y + dy * i / 10));
        up(CPoint(from.x + dx, from.y + dy));
    }
    // Renders `blocks` blocks of 512 frames.
    void render(int blocks)
    {
        std::vector<float> l(512), r(512);
        for (int i = 0; i < blocks; ++i) host->process(l.data(), r.data(), 512);
    }

    std::string dataFolder = ONDREL_BUNDLE_DIR "/";  // set before SetUp to use another
    std::unique_ptr<PluginHost> host;
    OndrelPlugin* plugin = nullptr;
    myEditor* editor = nullptr;
};

inline bool similar(const CColor& a, const CColor& b, int tolerance = 4)
{
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

inline std::string str(const CColor& c)
{
    return "(" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + ")";
}
