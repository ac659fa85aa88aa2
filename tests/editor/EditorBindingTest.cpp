// Every control bound to its parameter both ways: turned with the mouse it
// sets the parameter and reports the gesture to the host; values from the
// host, from another thread and from a preset move it; switches enable the
// controls that depend on them.
#include "EditorTestSupport.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/Program.h"
#include "editor/EditorLayout.h"
#include "editor/controls/KnobFlatOrvel.h"
#include "editor/controls/MultiSwitch.h"

#include <thread>

namespace {

class EditorBinding : public EditorTest {
protected:
    // A gesture that changes the control's value, whatever it is now.
    void turn(int i)
    {
        CControl* c = control(i);
        const CRect r = c->getViewSize();
        const float v = c->getValueNormalized();
        switch (layout::slot(i).kind) {
        case layout::Kind::Knob:
            if (static_cast<CKnobFlatSwitch*>(c)->getMode() >= 2)
                click(centre(i));
            else
                drag(centre(i), 0, v > 0.5f ? 40 : -40);
            break;
        case layout::Kind::FlatSlider:
            drag(centre(i), 0, v > 0.5f ? 60 : -60);
            break;
        case layout::Kind::NanoVertical:
            click(CPoint(r.getCenter().x, v > 0.5f ? r.bottom - 3 : r.top + 3));
            break;
        case layout::Kind::NanoHorizontal:
            click(CPoint(v > 0.5f ? r.left + 3 : r.right - 3, r.getCenter().y));
            break;
        case layout::Kind::MultiSwitch: {
            auto* multi = static_cast<CMultiSwitch*>(c);
            const int n = multi->getPositions();
            const int next = n == 1 ? 0 : (multi->getSelectedSegment() + 1) % n;
            click(CPoint(r.left + (next + 0.5) * r.getWidth() / n, r.getCenter().y));
            break;
        }
        case layout::Kind::OnOff:
            click(centre(i));
            break;
        }
    }
};

TEST_F(EditorBinding, TurningEachControlSetsItsParameterAndTellsTheHost)
{
    open();
    // Every control enabled: all delays, the reverb and the equalizer on.
    const int switches[] = {15, 19, 23, 33, 39};
    for (int i = 0; i < myEditor::kNumControls; ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        for (int s : switches) host->setParameter(s, 1.0f);
        const float before = host->getParameter(i);
        host->clearCalls();
        turn(i);
        EXPECT_NE(host->getParameter(i), before);
        EXPECT_FLOAT_EQ(control(i)->getValue(), host->getParameter(i));
        EXPECT_FLOAT_EQ(plugin->getEngine().parameter(i), host->getParameter(i));
        std::vector<VstInt32> gesture;
        for (const HostCall& c : host->calls())
            if (c.opcode == audioMasterBeginEdit || c.opcode == audioMasterAutomate || c.opcode == audioMasterEndEdit) {
                EXPECT_EQ(c.index, i);
                if (gesture.empty() || gesture.back() != c.opcode) gesture.push_back(c.opcode);
            }
        const std::vector<VstInt32> expected{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};
        EXPECT_EQ(gesture, expected);
    }
}

TEST_F(EditorBinding, HostValuesPresetsAndOtherThreadsMoveTheControls)
{
    open();
    host->setParameter(kRange2, 0.81f);
    EXPECT_FLOAT_EQ(control(17)->getValue(), 0.81f);
    host->setParameter(kWave, 0.3f);  // a stepped knob shows the nearest position
    window()->redraw();
    EXPECT_FLOAT_EQ(control(0)->getValue(), 0.25f);

    // A host's audio thread: shown at the next idle, not before.
    std::thread audio([&] { editor->updateControl(9, 0.125f); });
    audio.join();
    EXPECT_NE(control(9)->getValue(), 0.125f);
    editor->idle();
    EXPECT_FLOAT_EQ(control(9)->getValue(), 0.125f);

    // Another preset moves every control to its values.
    auto values = [&] {
        std::vector<float> v;
        for (int i = 0; i < myEditor::kNumControls; ++i) v.push_back(control(i)->getValue());
        return v;
    };
    const std::vector<float> before = values();
    plugin->getPresetManager().selectProgram(1, 0);
    plugin->programChanged();
    ASSERT_NE(values(), before);
    for (int i = 1; i < myEditor::kNumControls; ++i)  // 0, a stepped knob, shows the nearest position
        EXPECT_FLOAT_EQ(control(i)->getValue(), host->getParameter(i)) << i;
}

// The three holders of the parameter values (the current program, the
// engine, the editor's controls) stay in step: from the start program, after
// host values, after setProgram re-sends the stored values, after an edit
// reported for automation and after a program change (one display update).
TEST_F(EditorBinding, ProgramEngineAndControlsStayInStep)
{
    Program* program = plugin->getPresetManager().getCurrentProgram();
    ASSERT_NE(program, nullptr);
    auto expectInStep = [&](const char* after) {
        for (int i = 0; i < kNumParameters; ++i) {
            EXPECT_FLOAT_EQ(plugin->getEngine().parameter(i), program->getValue(i)) << after << ", " << i;
            EXPECT_FLOAT_EQ(editor->controlValue(i), program->getValue(i)) << after << ", " << i;
        }
    };
    expectInStep("start");
    host->setParameter(kRange2, 0.81f);
    expectInStep("host value");
    EXPECT_FLOAT_EQ(plugin->getEngine().parameter(kRange2), 0.81f);

    program->setValue(kMastertuning, 0.9f);  // behind the engine's back
    EXPECT_NE(plugin->getEngine().parameter(kMastertuning), 0.9f);
    host->dispatch(effSetProgram, 0, 0);
    expectInStep("setProgram");

    host->clearCalls();
    plugin->setParameterAutomated(kSpeed1, 0.25f);
    expectInStep("automated edit");
    ASSERT_EQ(host->countCalls(audioMasterAutomate), 1u);
    for (auto& c : host->calls())
        EXPECT_TRUE(c.opcode != audioMasterAutomate || (c.index == kSpeed1 && c.opt == 0.25f));

    host->clearCalls();
    plugin->programChanged();
    EXPECT_EQ(host->countCalls(audioMasterUpdateDisplay), 1u);
    plugin->programValuesChanged();
    EXPECT_EQ(host->countCalls(audioMasterUpdateDisplay), 1u);
    expectInStep("program change");
}

TEST_F(EditorBinding, DelaySwitchesEnableTheirKnobsAndTheFeedbackSection)
{
    open();
    auto active = [&](int i) { return control(i)->getMouseEnabled(); };
    for (int i : {15, 19, 23}) host->setParameter(i, 0.0f);
    for (int i : {12, 13, 14, 16, 17, 18, 20, 21, 22, 24, 27, 28, 29, 30}) EXPECT_FALSE(active(i)) << i;
    host->setParameter(kOn1, 1.0f);
    for (int i : {12, 13, 14, 27, 28, 29, 30}) EXPECT_TRUE(active(i)) << i;
    EXPECT_FALSE(active(24));
    host->setParameter(kOn3, 1.0f);
    EXPECT_TRUE(active(24));
    host->setParameter(kReverbOn, 0.0f);
    EXPECT_FALSE(active(31));
    host->setParameter(kEQOn, 0.0f);
    EXPECT_FALSE(active(36));

    // Edits of a closed editor are kept and shown at the next open.
    editor->close();
    host->setParameter(kGain_out, 0.6f);
    open();
    EXPECT_FLOAT_EQ(control(40)->getValue(), 0.6f);
}

}  // namespace
