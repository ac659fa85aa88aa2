// Draws the editor headless into a PNG, as a host would show it just after a
// note was played: the picture for the README and a look at any size and
// colour scheme without a display.
//
//   ondrel-screenshots BUNDLE_FOLDER OUTPUT.png [--size 0..5] [--scheme 0..7] [--show save|credits]
//
// --show opens the save dialog or the credits box over the panel, as a
// click on the tool bar does.
//
// The user's own settings are not touched: the tool keeps its settings in
// a temporary folder.
#include "editor/PresetDialogs.h"
#include "editor/myEditor.h"
#include "toolkit/OptionMenu.h"
#include "source/OndrelPlugin.h"
#include "source/PluginEntry.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "platform/Settings.h"
#include "toolkit/Timer.h"
#include "toolkit/headless/HeadlessWindow.h"
#include "tools/host/PluginHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint64_t g_now = 1000;
uint64_t fakeClock() { return g_now; }

int usage()
{
    std::fprintf(stderr,
                 "usage: ondrel-screenshots BUNDLE_FOLDER OUTPUT.png [--size 0..5] [--scheme 0..7] "
                 "[--show save|credits]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return usage();
    std::string bundle = argv[1];
    const char* output = argv[2];
    int size = 1, scheme = 5;
    std::string show;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--size"))
            size = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--scheme"))
            scheme = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--show"))
            show = argv[i + 1];
        else
            return usage();
    }
    char folder[] = "/tmp/ondrel-screenshots-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    setenv("XDG_CONFIG_HOME", folder, 1);
    setenv("ONDREL_NO_DIALOGS", "1", 1);
    Platform::SettingsStore settings(myEditor::kSettingsKey);
    settings.writeFloat("skin", (float)size);
    settings.writeNumber("colourscheme", (uint32_t)scheme);
    if (bundle.empty() || bundle.back() != '/') bundle += '/';
    Platform::setDataFolderOverride(bundle);
    setToolkitClock(fakeClock);

    int status = 1;
    {
        PluginHost host;
        std::string error;
        if (!host.create(ondrelEntry, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        host.start(44100.0f, 512);
        auto* plugin = static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(host.effect()->object));
        myEditor* editor = plugin->getMyEditor();
        editor->setWindowKind(PlatformType::kHeadless);
        if (editor->open(nullptr)) {
            // A chord held for a moment fills the scope and the meters.
            for (int note : {48, 55, 64}) host.queueMidi(0, 0x90, (uint8_t)note, 100);
            std::vector<float> left(512), right(512);
            for (int block = 0; block < 24; ++block) host.process(left.data(), right.data(), 512);
            for (int pass = 0; pass < 2; ++pass) {
                host.process(left.data(), right.data(), 512);
                g_now += 200;
                editor->idle();
            }
            CFrame* frame = editor->getFrame();
            auto click = [&](CPoint p) {
                frame->platformOnMouseDown(p, CButtonState(kLButton));
                frame->platformOnMouseUp(p, CButtonState(kLButton));
            };
            ToolBar& bar = editor->getToolBar();
            if (show == "save" && bar.saveButton()) {
                click(bar.saveButton()->getViewSize().getCenter());
            } else if (show == "credits" && bar.aboutMenu()) {
                click(bar.aboutMenu()->getViewSize().getCenter());
                if (auto* popup = dynamic_cast<COptionMenuPopup*>(frame->getPopupView()))
                    click(popup->getEntryRect(0, 1).getCenter());
            }
            HeadlessWindow* window = HeadlessWindow::of(editor->getFrame());
            window->redraw();
            status = window->savePng(output) ? 0 : 1;
            editor->close();
        }
    }
    std::remove((std::string(folder) + "/Ondrel/settings").c_str());
    std::remove((std::string(folder) + "/Ondrel").c_str());
    std::remove(folder);
    setToolkitClock(nullptr);
    return status;
}
