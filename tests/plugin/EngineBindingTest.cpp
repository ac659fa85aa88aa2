// Inside the plug-in object: the three holders of the parameter values (the
// current program, the engine, the editor's controls) stay in step.
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/Program.h"
#include "editor/myEditor.h"
#include "source/OndrelPlugin.h"
#include "source/PluginEntry.h"
#include "tools/host/PluginHost.h"
#include "source/engine/ParameterIndex.h"

#include <gtest/gtest.h>

namespace {

class Binding : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(host.create(ondrelEntry, error)) << error;
        host.start(44100.0f, 256);
        plugin = static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(host.effect()->object));
    }
    void expectInStep()
    {
        Program* program = plugin->getPresetManager().getCurrentProgram();
        ASSERT_NE(program, nullptr);
        for (int i = 0; i < 43; ++i) {
            EXPECT_FLOAT_EQ(plugin->getEngine().parameter(i), program->getValue(i)) << i;
            EXPECT_FLOAT_EQ(plugin->getMyEditor()->controlValue(i), program->getValue(i)) << i;
        }
    }
    PluginHost host;
    OndrelPlugin* plugin = nullptr;
};

TEST_F(Binding, TheStartProgramReachesEngineAndEditor) { expectInStep(); }

TEST_F(Binding, HostValuesGoToAllThree)
{
    host.setParameter(kRange2, 0.81f);
    expectInStep();
    EXPECT_FLOAT_EQ(plugin->getEngine().parameter(17), 0.81f);
}

TEST_F(Binding, SetProgramResendsTheStoredValues)
{
    Program* program = plugin->getPresetManager().getCurrentProgram();
    program->setValue(3, 0.9f);  // behind the engine's back
    EXPECT_NE(plugin->getEngine().parameter(3), 0.9f);
    host.dispatch(effSetProgram, 0, 0);
    expectInStep();
}

TEST_F(Binding, EditorEditsAreReportedForAutomation)
{
    host.clearCalls();
    plugin->setParameterAutomated(kSpeed1, 0.25f);
    expectInStep();
    auto calls = host.calls();
    ASSERT_EQ(host.countCalls(audioMasterAutomate), 1u);
    for (auto& c : calls) {
        if (c.opcode == audioMasterAutomate) {
            EXPECT_EQ(c.index, 12);
            EXPECT_FLOAT_EQ(c.opt, 0.25f);
        }
    }
}

TEST_F(Binding, ProgramChangeNotificationUpdatesTheHost)
{
    host.clearCalls();
    plugin->programChanged();
    EXPECT_EQ(host.countCalls(audioMasterUpdateDisplay), 1u);
    plugin->programValuesChanged();
    EXPECT_EQ(host.countCalls(audioMasterUpdateDisplay), 1u);
    expectInStep();
}

}  // namespace
