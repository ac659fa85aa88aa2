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
#include "tests/toolkit/ToolkitTestSupport.h"
#include "tools/host/PluginHost.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

class EditorTest : public ::testing::Test, public MouseGestures<EditorTest> {
public:
    CFrame* frame() const { return editor->getFrame(); }
    static std::vector<std::string>& messages()
    {
        static std::vector<std::string> list;
        return list;
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
        messages().clear();
        createInstance();
    }

    void TearDown() override { host.reset(); }

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
    HeadlessWindow* window() const { return HeadlessWindow::of(editor->getFrame()); }
    CControl* control(int i) const { return editor->getControl(i); }
    CPoint centre(int i) const { return control(i)->getViewSize().getCenter(); }

    // One idle with a display pass (the clock moves on by 100 ms).
    void displayPass()
    {
        clock.advance(100);
        editor->idle();
    }

    // Renders `blocks` blocks of 512 frames.
    void render(int blocks)
    {
        std::vector<float> l(512), r(512);
        for (int i = 0; i < blocks; ++i) host->process(l.data(), r.data(), 512);
    }

    FakeClock clock;
    std::string dataFolder = ONDREL_BUNDLE_DIR "/";  // set before SetUp to use another
    std::unique_ptr<PluginHost> host;
    OndrelPlugin* plugin = nullptr;
    myEditor* editor = nullptr;
};
