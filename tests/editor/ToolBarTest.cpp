// The tool bar and its dialogs driven through the toolkit's events in the
// headless editor, over a preset folder of its own: browsing, compare and
// the edited marker, the save flows with their questions and messages,
// failed saves, size, colours, the shell, and host chunks.
#include "EditorTestSupport.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "editor/EditorLayout.h"
#include "editor/PresetDialogs.h"
#include "editor/ToolBar.h"
#include "editor/controls/KickControls.h"
#include "tests/support/Files.h"
#include "tests/support/PresetDocuments.h"
#include "toolkit/OptionMenu.h"

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using testing_support::presetDocument;
using testing_support::readFile;

std::vector<std::string>& shellCalls()
{
    static std::vector<std::string> calls;
    return calls;
}

class ToolBarTest : public EditorTest {
protected:
    void SetUp() override
    {
        dataFolder = scratch.path();
        for (const char* item : {"Fonts", "ondrel_logo.png", "zentorial_logo_3d_small.png", "ondrel.html"})
            ASSERT_EQ(symlink((std::string(ONDREL_BUNDLE_DIR "/") + item).c_str(), (dataFolder + item).c_str()), 0);
        scratch.write("Presets/Factory/Bass/Alpha.yaml", presetDocument("  Wave: 0.1\n  Noise: 0.5\n", "Alpha"));
        scratch.write("Presets/Factory/Bass/Beta.yaml", presetDocument("  Wave: 0.2\n  Noise: 0.5\n", "Beta"));
        scratch.write("Presets/Factory/Lead/Gamma.yaml", presetDocument("  Wave: 0.3\n  Noise: 0.5\n", "Gamma"));
        EditorTest::SetUp();
        userFolder = Platform::presetFolder(true);
        Platform::setShellRecorder([](const char* verb, const char* target) {
            shellCalls().push_back(std::string(verb) + "|" + target);
            return true;
        });
        shellCalls().clear();
        open();
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        Platform::setShellRecorder(nullptr);
        Platform::setDataFolderOverride("");
    }

    ToolBar& bar() { return editor->getToolBar(); }
    Program* current() { return plugin->getPresetManager().getCurrentProgram(); }
    std::vector<std::string> entries(COptionMenu* menu)
    {
        std::vector<std::string> list;
        for (int i = 0; i < menu->getNbEntries(); ++i) list.push_back(menu->getEntry(i)->getTitle());
        return list;
    }
    // Opens the menu with a click and clicks its entry.
    void choose(COptionMenu* menu, int index)
    {
        click(menu->getViewSize().getCenter());
        auto* popup = dynamic_cast<COptionMenuPopup*>(frame()->getPopupView());
        ASSERT_TRUE(popup);
        click(popup->getEntryRect(0, index).getCenter());
    }
    void step(CControl* stepper, bool next)
    {
        const CRect r = stepper->getViewSize();
        click(CPoint(next ? r.right - 2 : r.left + 2, r.getCenter().y));
    }
    void edit(int index, float value)
    {
        control(index)->setValue(value);
        control(index)->valueChanged();
    }
    SaveDialog* openSaveDialog()
    {
        click(bar().saveButton()->getViewSize().getCenter());
        EXPECT_EQ(frame()->getModalView(), bar().saveDialog());
        return bar().saveDialog();
    }
    void typeName(const std::string& name)
    {
        CTextEdit* field = bar().saveDialog()->getTextEdit();
        ASSERT_EQ(frame()->getFocusView(), field);
        for (size_t n = std::string(field->getText()).size(); n > 0; --n)
            frame()->platformOnKeyDown({0, VirtualKey::Back, 0});
        for (char c : name) frame()->platformOnKeyDown({(char32_t)c, VirtualKey::None, 0});
    }
    void press(CTextButton* button) { click(button->getViewSize().getCenter()); }
    // Saves the current program as a new user preset and closes the message.
    void saveNew(const std::string& name)
    {
        openSaveDialog();
        typeName(name);
        press(bar().saveDialog()->getActionButton(0));
        dismissMessage();
    }
    std::string timedMessage()
    {
        auto* view = dynamic_cast<cTimedResponse*>(frame()->getModalView());
        return view ? view->getText() : "";
    }
    void dismissMessage() { click(CPoint(10, 10)); }

    testing_support::ScratchFolder scratch;
    std::string userFolder;
};

}  // namespace

TEST_F(ToolBarTest, MenusAndSteppersSelectAndApplyPrograms)
{
    EXPECT_EQ(entries(bar().categoryMenu()), (std::vector<std::string>{"Bass", "Lead"}));
    EXPECT_EQ(entries(bar().programMenu()), (std::vector<std::string>{"Alpha", "Beta"}));

    host->clearCalls();
    choose(bar().programMenu(), 1);
    EXPECT_EQ(host->programName(), "Beta");
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.2f);
    EXPECT_EQ(host->countCalls(audioMasterUpdateDisplay), 1u);
    EXPECT_EQ(host->countCalls(audioMasterBeginEdit), 0u) << "tool bar controls are no parameters";

    // Past the last entry the stepper stays there and applies the same program.
    step(bar().programStepper(), true);
    EXPECT_EQ(host->programName(), "Beta");
    EXPECT_EQ(bar().programStepper()->getValue(), 1.f);
    step(bar().programStepper(), false);
    EXPECT_EQ(host->programName(), "Alpha");
    step(bar().programStepper(), false);
    EXPECT_EQ(host->programName(), "Alpha");
    EXPECT_EQ(bar().programStepper()->getValue(), 0.f);

    // Another category loads its first program at once.
    step(bar().categoryStepper(), true);
    EXPECT_EQ(entries(bar().programMenu()), (std::vector<std::string>{"Gamma"}));
    EXPECT_EQ(host->programName(), "Gamma");
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.3f);
    choose(bar().categoryMenu(), 0);
    EXPECT_EQ(host->programName(), "Alpha");
    EXPECT_EQ(host->countCalls(audioMasterUpdateDisplay), 6u);
}

TEST_F(ToolBarTest, CompareSwitchesValueSetsAndTheMarkerFollowsEditsAndAutomation)
{
    const CRect label = bar().compareLabel()->getViewSize();
    auto redPixels = [&] {
        window()->redraw();
        return countPixels(*window(), label,
                           [](const CColor& c) { return c.red > 150 && c.green < 60 && c.blue < 60; });
    };
    EXPECT_EQ(redPixels(), 0);
    edit(kWave, 0.9f);
    EXPECT_EQ(bar().compareLabel()->getFontColor(), ToolBar::kEdited);
    EXPECT_GT(redPixels(), 20) << "the label is drawn red";
    click(bar().compareLabel()->getViewSize().getCenter());
    EXPECT_STREQ(bar().compareStateLabel()->getText(), "original");
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.1f);
    EXPECT_FLOAT_EQ(control(kWave)->getValue(), 0.1f);
    click(bar().compareLabel()->getViewSize().getCenter());
    EXPECT_STREQ(bar().compareStateLabel()->getText(), "current");
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.9f);

    // A fresh program is grey again; automation from the host turns it red.
    choose(bar().programMenu(), 1);
    EXPECT_EQ(bar().compareLabel()->getFontColor(), ToolBar::kUnedited);
    host->setParameter(kNoise, 0.75f);
    editor->idle();
    EXPECT_EQ(bar().compareLabel()->getFontColor(), ToolBar::kEdited);
}

TEST_F(ToolBarTest, SavingANewPresetFilesItAndItLoadsInAFreshInstance)
{
    edit(kWave, 0.7f);
    SaveDialog* dialog = openSaveDialog();
    EXPECT_STREQ(dialog->getPrompt(), "Save edited factory preset as user preset named:");
    EXPECT_EQ(dialog->getText(), "Alpha user edit");
    EXPECT_FALSE(dialog->getActionButton(1)->isVisible()) << "a factory preset cannot be overwritten";
    // Drawn over the panel: the dialog's own grey between its prompt and its field.
    window()->redraw();
    EXPECT_TRUE(similar(window()->getPixel(133, 116), dialog::kPanel)) << str(window()->getPixel(133, 116));
    typeName("My Pad");
    press(dialog->getActionButton(0));

    EXPECT_EQ(timedMessage(), "New preset was saved with the name \"My Pad\"");
    EXPECT_TRUE(Platform::fileExists(userFolder + "My Pad.yaml"));
    EXPECT_EQ(entries(bar().categoryMenu()),
              (std::vector<std::string>{"Bass", "Lead", "\xC2\xABUser presets\xC2\xBB"}));
    EXPECT_EQ(entries(bar().programMenu()), (std::vector<std::string>{"My Pad"}));
    EXPECT_EQ(host->programName(), "My Pad");
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.7f);
    const Program* alpha = plugin->getPresetManager().getProgramsOfCategory("Bass")[0];
    EXPECT_FALSE(alpha->modified);
    EXPECT_FLOAT_EQ(alpha->getValue(kWave), 0.1f) << "the source returns to its stored values";

    // The message counts down twice a second and is gone after 5 seconds.
    for (int tick = 0; tick < 9; ++tick) {
        clock.advance(cTimedResponse::kTickMs);
        editor->idle();
    }
    ASSERT_EQ(timedMessage(), "New preset was saved with the name \"My Pad\"");
    EXPECT_EQ(dynamic_cast<cTimedResponse*>(frame()->getModalView())->getCountdown(), 1);
    clock.advance(cTimedResponse::kTickMs);
    editor->idle();
    EXPECT_EQ(frame()->getModalView(), nullptr);

    editor->close();
    createInstance();
    open();
    choose(bar().categoryMenu(), 2);
    EXPECT_EQ(host->programName(), "My Pad");
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.7f);
    EXPECT_FLOAT_EQ(host->getParameter(kNoise), 0.5f);
}

TEST_F(ToolBarTest, OverwritingAsksFirstNoKeepsTheFileAndTheSynthesizerFollowsTheSavedValues)
{
    saveNew("Mine");
    const std::string path = userFolder + "Mine.yaml";
    const std::string before = readFile(path);

    edit(kNoise, 0.9f);
    SaveDialog* dialog = openSaveDialog();
    EXPECT_STREQ(dialog->getPrompt(), "Save edited user preset as preset named:");
    EXPECT_TRUE(dialog->getActionButton(1)->isVisible());
    press(dialog->getActionButton(0));  // the name is unchanged
    cMessageDialogue* question = dialog->getMessage();
    ASSERT_TRUE(question);
    EXPECT_EQ(question->getText(), SaveDialog::kNameUnchanged);
    click(question->noRect().getCenter());
    EXPECT_EQ(frame()->getModalView(), dialog) << "NO leaves the dialog open";
    EXPECT_EQ(dialog->getText(), "Mine");
    EXPECT_EQ(readFile(path), before);

    // Cancel saves nothing and tells nobody.
    press(dialog->getCancelButton());
    EXPECT_EQ(frame()->getModalView(), nullptr);
    EXPECT_EQ(readFile(path), before);

    openSaveDialog();
    press(dialog->getActionButton(0));
    click(dialog->getMessage()->yesRect().getCenter());
    EXPECT_EQ(timedMessage(), "Preset \"Mine\" has been overwritten");
    EXPECT_NE(readFile(path), before);
    EXPECT_EQ(bar().compareLabel()->getFontColor(), ToolBar::kUnedited);
    dismissMessage();

    // The overwrite button of the dialog writes without a question.
    edit(kNoise, 0.2f);
    openSaveDialog();
    press(dialog->getActionButton(1));
    EXPECT_EQ(timedMessage(), "Preset \"Mine\" has been overwritten");
    dismissMessage();

    // Overwritten while comparing (the stored values sounding): engine and
    // controls follow the saved values.
    edit(kWave, 0.95f);
    click(bar().compareLabel()->getViewSize().getCenter());
    openSaveDialog();
    press(dialog->getActionButton(1));
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.95f);
    EXPECT_FLOAT_EQ(editor->controlValue(kWave), 0.95f);
    EXPECT_STREQ(bar().compareStateLabel()->getText(), "current");
}

TEST_F(ToolBarTest, ANameOfAnotherUserPresetIsRefusedAndTheDialogStays)
{
    saveNew("Taken");
    choose(bar().categoryMenu(), 0);  // back to a factory preset
    SaveDialog* dialog = openSaveDialog();
    typeName("Taken");
    press(dialog->getActionButton(0));
    ASSERT_TRUE(dialog->getMessage());
    EXPECT_EQ(dialog->getMessage()->getText(), SaveDialog::kNameTaken);
    EXPECT_FALSE(dialog->getMessage()->asks());
    click(CPoint(20, 20));
    EXPECT_EQ(frame()->getModalView(), dialog);
    EXPECT_EQ(dialog->getMessage(), nullptr);
    EXPECT_EQ(plugin->getPresetManager().getProgramsOfCategory("\xC2\xABUser presets\xC2\xBB").size(), 1u);
}

TEST_F(ToolBarTest, AFailedSaveSaysSoAndLosesNothing)
{
    saveNew("Mine");
    const std::string path = userFolder + "Mine.yaml";
    const std::string before = readFile(path);
    edit(kWave, 0.4f);

    // A full disk: no file may grow beyond 100 bytes.
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 100;
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    openSaveDialog();
    press(bar().saveDialog()->getActionButton(1));
    const std::string overwrite = timedMessage();
    dismissMessage();
    openSaveDialog();
    typeName("Other");
    press(bar().saveDialog()->getActionButton(0));
    const std::string copy = timedMessage();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(overwrite, "Failed to save preset Mine");
    EXPECT_EQ(copy, "Failed to copy preset Other");
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(testing_support::listFolder(userFolder), std::vector<std::string>{"Mine.yaml"}) << "no other file left";
    EXPECT_EQ(entries(bar().programMenu()), (std::vector<std::string>{"Mine"}));
    EXPECT_TRUE(current()->modified) << "the edit is still there";
    EXPECT_FLOAT_EQ(host->getParameter(kWave), 0.4f);
}

TEST_F(ToolBarTest, ZoomAndColourMenuChangeTheEditorAndPersist)
{
    // The host's part of a size change is EditorLook.ASizeChangeAsksTheHostAndScalesEveryView's.
    step(bar().zoomControl(), true);
    EXPECT_DOUBLE_EQ(editor->getWidth(), layout::editorSize(2).x);
    // The largest size stays the largest: no step beyond it returns to the default.
    for (int i = 0; i < 5; ++i) step(bar().zoomControl(), true);
    EXPECT_DOUBLE_EQ(editor->getWidth(), layout::editorSize(5).x);
    EXPECT_EQ(bar().zoomControl()->getValue(), 5.f);
    for (int i = 0; i < 7; ++i) step(bar().zoomControl(), false);
    EXPECT_DOUBLE_EQ(editor->getWidth(), layout::editorSize(0).x);
    // A press that leaves its half before the release does nothing.
    const CRect r = bar().zoomControl()->getViewSize();
    down(CPoint(r.right - 2, r.getCenter().y));
    move(CPoint(r.left + 2, r.getCenter().y));
    up(CPoint(r.left + 2, r.getCenter().y));
    EXPECT_DOUBLE_EQ(editor->getWidth(), layout::editorSize(0).x);
    // The save dialog covers the new size.
    openSaveDialog();
    EXPECT_EQ(bar().saveDialog()->getViewSize(), CRect(0, 0, frame()->getWidth(), frame()->getHeight()));
    press(bar().saveDialog()->getCancelButton());

    choose(bar().colourMenu(), 4);
    EXPECT_EQ(editor->getColour1(), colourScheme(4).colour1);
    EXPECT_EQ(bar().colours()[0], colourScheme(4).colour1);
    // A new instance reads both back (the size not the default one).
    editor->close();
    createInstance();
    open();
    EXPECT_EQ(bar().colourMenu()->getCurrentIndex(), 4);
    EXPECT_EQ(editor->getColour2(), colourScheme(4).colour2);
    EXPECT_EQ(bar().zoomControl()->getValue(), 0.f);
    EXPECT_DOUBLE_EQ(editor->getWidth(), layout::editorSize(0).x);
}

TEST_F(ToolBarTest, AboutMenuAsksTheShellAndShowsTheCredits)
{
    choose(bar().aboutMenu(), 0);
    choose(bar().aboutMenu(), 2);
    EXPECT_EQ(shellCalls(), (std::vector<std::string>{"open|" + dataFolder + "ondrel.html", "explore|" + userFolder}));

    choose(bar().aboutMenu(), 1);
    auto* credits = dynamic_cast<cCustomDialogue*>(frame()->getModalView());
    ASSERT_TRUE(credits);
    EXPECT_TRUE(credits->hasLogo());
    EXPECT_TRUE(Platform::fileExists(credits->getLinkTarget()));
    EXPECT_EQ(credits->getLines().size(), (size_t)AboutBoxText::instance().lineCount());
    click(credits->linkRect().getCenter());
    EXPECT_EQ(shellCalls().back(), "open|" + dataFolder + "ondrel.html");
    EXPECT_EQ(frame()->getModalView(), credits) << "the link leaves the box open";
    click(credits->okRect().getCenter());
    EXPECT_EQ(frame()->getModalView(), nullptr);
}

TEST_F(ToolBarTest, AHostChunkRefreshesTheMenus)
{
    choose(bar().programMenu(), 1);
    const std::vector<uint8_t> chunk = host->getChunk();
    ASSERT_EQ(host->setChunk(chunk.data(), chunk.size()), 1);
    EXPECT_EQ(bar().categoryMenu()->getCurrent()->getTitle(), std::string("\xC2\xABProject presets\xC2\xBB"));
    EXPECT_EQ(entries(bar().programMenu()), (std::vector<std::string>{"Beta"}));
}
