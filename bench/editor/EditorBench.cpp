// Cost of drawing the editor headless: a full redraw of the open panel (the
// background bitmap copied and every view drawn) at the default size and at
// the largest, and an open (which also renders the background once).
#include <benchmark/benchmark.h>

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "editor/myEditor.h"
#include "platform/Settings.h"
#include "source/OndrelPlugin.h"
#include "source/PluginEntry.h"
#include "toolkit/headless/HeadlessWindow.h"
#include "tools/host/PluginHost.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Instance {
    explicit Instance(int size)
    {
        static char folder[] = "/tmp/ondrel-bench-XXXXXX";
        static bool made = mkdtemp(folder) != nullptr;
        if (made) setenv("XDG_CONFIG_HOME", folder, 1);
        setenv("ONDREL_NO_DIALOGS", "1", 1);
        Platform::setDataFolderOverride(ONDREL_BUNDLE_DIR "/");
        Platform::SettingsStore(myEditor::kSettingsKey).writeFloat("skin", (float)size);
        std::string error;
        host.create(ondrelEntry, error);
        host.start(48000.0f, 256);
        editor = static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(host.effect()->object))->getMyEditor();
        editor->setWindowKind(PlatformType::kHeadless);
    }
    PluginHost host;
    myEditor* editor = nullptr;
};

void BM_FullRedraw(benchmark::State& state)
{
    Instance instance((int)state.range(0));
    instance.editor->open(nullptr);
    HeadlessWindow* window = HeadlessWindow::of(instance.editor->getFrame());
    for (auto _ : state) window->redraw();
    state.SetLabel(std::to_string(window->getBitmap()->width()) + " x " +
                   std::to_string(window->getBitmap()->height()));
    instance.editor->close();
}
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_Open(benchmark::State& state)
{
    Instance instance((int)state.range(0));
    for (auto _ : state) {
        instance.editor->open(nullptr);
        instance.editor->close();
    }
}
BENCHMARK(BM_Open)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
