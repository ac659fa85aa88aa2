#include "editor/ToolBar.h"

#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "editor/PresetDialogs.h"
#include "editor/SkinColours.h"
#include "editor/controls/KickControls.h"
#include "editor/controls/SimpleLabel.h"
#include "source/NotificationsInterface.h"
#include "toolkit/Frame.h"
#include "toolkit/OptionMenu.h"

#include <algorithm>
#include <memory>

// ---------------------------------------------------------------- credits

AboutBoxText::AboutBoxText()
    : m_lines{"Ondrel 0.9.8, a polyphonic synthesizer by Zentorial.",
              "Two-operator phase modulation, noise, three tuned delay lines",
              "with feedback, equalizer and reverb; eight voices or mono legato.",
              " ",
              "Presets are YAML files: Presets/Factory and Presets/User",
              "beside the plug-in. \"explore presets\" opens your own folder.",
              " ",
              "Font: DejaVu Sans (Fonts/DejaVu-LICENSE.txt); presets by libyaml."}
{}

const AboutBoxText& AboutBoxText::instance()
{
    static const AboutBoxText text;
    return text;
}

// ---------------------------------------------------------------- building

ToolBar::ToolBar(PresetManager* presetManager, NotificationsInterface* notifications, ToolBarListener* listener)
    : m_presetManager(presetManager), m_notifications(notifications), m_listener(listener)
{}

CRect ToolBar::scaled(double l, double t, double r, double b) const
{
    return CRect(l * m_scaleX, t * m_scaleY, r * m_scaleX, b * m_scaleY);
}

void ToolBar::build(const CRect& frameRect, CFrame* frame, float scaleX, float scaleY, int32_t zoomTag,
                    const std::string& fontFamily, int zoomSteps)
{
    clear();
    if (!frame) return;
    m_frame = frame;
    m_scaleX = scaleX;
    m_scaleY = scaleY;

    m_aboutMenu = new COptionMenu(scaled(5, 7, 44, 33), this, -1, kNoDrawStyle);
    for (const char* entry : {kManualEntry, kAboutEntry, kExploreEntry}) m_aboutMenu->addEntry(entry);
    frame->addView(m_aboutMenu);

    m_compareLabel = new CSimpleLabel(scaled(125, 7, 184, 23), false, kCenterText);
    m_compareLabel->setText("compare");
    m_compareLabel->setFont(fontFamily.c_str());
    m_compareLabel->setListener(this);
    m_compareLabel->setFontColor(kUnedited);
    frame->addView(m_compareLabel);
    m_compareStateLabel = new CSimpleLabel(scaled(125, 25, 184, 41), false, kCenterText);
    m_compareStateLabel->setText("current");
    m_compareStateLabel->setFont(fontFamily.c_str());
    m_compareStateLabel->setMouseEnabled(false);
    frame->addView(m_compareStateLabel);

    m_categoryStepper = new CKickPreviousNext(scaled(232, 35, 409, 47), this, -1);
    frame->addView(m_categoryStepper);
    m_programStepper = new CKickPreviousNext(scaled(415, 35, 677, 47), this, -1);
    frame->addView(m_programStepper);

    auto presetMenu = [&](const CRect& r) {
        auto* menu = new COptionMenu(r, this, -1, kNoFrame);
        menu->setBackColor(CColor(32, 32, 32, 0));
        menu->setFont(CFontDesc(fontFamily, r.getHeight() - 12 * scaleY, kBoldFace));
        frame->addView(menu);
        return menu;
    };
    m_categoryMenu = presetMenu(scaled(232, 7, 412, 33));
    fillCategoryMenu();
    m_programMenu = presetMenu(scaled(414, 7, 671, 33));
    fillProgramMenu();

    m_colourMenu = new COptionMenu(scaled(688, 7, 786, 33), this, -1, kNoDrawStyle | kCheckStyle);
    for (int i = 0; i < kNumColourSchemes; ++i) m_colourMenu->addEntry(colourScheme(i).name);
    frame->addView(m_colourMenu);

    const CCoord W = frameRect.getWidth();
    m_zoomControl = new CKickTwiceZoom(CRect(W - 53 * scaleX, 10 * scaleY, W - 2 * scaleX, 26 * scaleY), this, zoomTag,
                                       (float)std::max(0, zoomSteps - 1));
    frame->addView(m_zoomControl);
    auto* caption = new CSimpleLabel(CRect(W - 119 * scaleX + 1, 10 * scaleY + 2, W - 53 * scaleX - 1, 26 * scaleY - 2),
                                     false, kCenterText);
    caption->setText("zoom");
    caption->setFont(fontFamily.c_str());
    caption->setFontColor(CColor(129, 129, 129));
    caption->setMouseEnabled(false);
    frame->addView(caption);

    m_saveDialog = new SaveDialog(frameRect, m_presetManager);
    m_saveButton = new MultiActionDialogButton(scaled(190, 7, 229, 23), this, -1, "save", m_saveDialog);
    m_saveButton->label().setFont(fontFamily.c_str());
    m_saveDialog->forget();  // the button holds the dialog now
    frame->addView(m_saveButton);
}

void ToolBar::setup(int scheme, int zoomValue, const AboutBoxText* aboutBox)
{
    if (!m_frame) return;
    m_colourMenu->setCurrent(scheme >= 0 && scheme < m_colourMenu->getNbEntries() ? scheme : 0);
    applyColourScheme();
    m_zoomControl->setValue((float)zoomValue);
    m_zoomControl->bounceValue();
    m_aboutBox = aboutBox;
    refreshMenus(m_presetManager->getCurrentCategoryIndex(), m_presetManager->getCurrentProgramIndex());
}

void ToolBar::clear()
{
    m_frame = nullptr;
    m_aboutMenu = m_categoryMenu = m_programMenu = m_colourMenu = nullptr;
    m_categoryStepper = m_programStepper = nullptr;
    m_zoomControl = nullptr;
    m_saveDialog = nullptr;
    m_saveButton = nullptr;
    m_compareLabel = m_compareStateLabel = nullptr;
}

void ToolBar::resized(const CRect& frameRect, float absoluteScaleY)
{
    if (!m_frame) return;
    m_saveButton->setDisplayArea(frameRect);
    for (COptionMenu* menu : {m_categoryMenu, m_programMenu})
        menu->setFontSize(menu->getHeight() - 12 * absoluteScaleY);
}

// ---------------------------------------------------------------- menus

namespace {

int entryOf(const COptionMenu* menu, const std::string& title)
{
    for (int i = 0; i < menu->getNbEntries(); ++i)
        if (title == menu->getEntry(i)->getTitle()) return i;
    return -1;
}

}  // namespace

Program* ToolBar::currentProgram() const { return m_presetManager->getCurrentProgram(); }

void ToolBar::fillCategoryMenu()
{
    m_categoryMenu->removeAllEntry();
    for (const std::string& name : m_presetManager->getCategoryNames())
        if (!m_presetManager->getProgramsOfCategory(name).empty()) m_categoryMenu->addEntry(name.c_str());
    m_categoryStepper->setMax((float)std::max(0, m_categoryMenu->getNbEntries() - 1));
}

void ToolBar::fillProgramMenu()
{
    m_programMenu->removeAllEntry();
    if (const CMenuItem* category = m_categoryMenu->getCurrent())
        for (const Program* program : m_presetManager->getProgramsOfCategory(category->getTitle()))
            m_programMenu->addEntry(program->name.c_str());
    m_programStepper->setMax((float)std::max(0, m_programMenu->getNbEntries() - 1));
}

void ToolBar::refreshMenus(int categoryIndex, int programIndex)
{
    if (!m_frame) return;
    fillCategoryMenu();
    const std::vector<std::string> names = m_presetManager->getCategoryNames();
    if (categoryIndex >= 0 && categoryIndex < (int)names.size())
        m_categoryMenu->setCurrent(entryOf(m_categoryMenu, names[(size_t)categoryIndex]));
    fillProgramMenu();
    m_programMenu->setCurrent(programIndex);
    updateCompareDisplay();
}

void ToolBar::categoryChanged()
{
    // Choosing a category loads its first program.
    fillProgramMenu();
    m_programMenu->setCurrent(0);
    programChosen();
}

void ToolBar::programChosen()
{
    // Menu entries are the library's categories that hold programs, found by name.
    const CMenuItem* category = m_categoryMenu->getCurrent();
    const std::vector<std::string> names = m_presetManager->getCategoryNames();
    const auto found = category ? std::find(names.begin(), names.end(), category->getTitle()) : names.end();
    if (found != names.end())
        m_presetManager->selectProgram((int)(found - names.begin()), m_programMenu->getCurrentIndex());
    updateCompareDisplay();
    m_notifications->programChanged();
}

void ToolBar::updateCompareDisplay()
{
    if (!m_frame) return;
    const Program* program = currentProgram();
    if (!program) return;
    m_compareStateLabel->setText(program->isShowingCurrent() ? "current" : "original");
    m_shownModified = program->modified;
    m_compareLabel->setFontColor(program->modified ? kEdited : kUnedited);
    m_compareLabel->setDirty();
    m_categoryStepper->setValue(m_categoryMenu->getValue());
    m_programStepper->setValue(m_programMenu->getValue());
}

void ToolBar::refreshEditedMarker()
{
    if (!m_frame || m_shownModified) return;
    if (const Program* program = currentProgram(); program && program->modified) updateCompareDisplay();
}

// ---------------------------------------------------------------- the controls' changes

void ToolBar::valueChanged(CControl* control)
{
    if (!m_frame || !control) return;
    if (control == m_categoryStepper) {
        m_categoryMenu->setValue(control->getValue());
        categoryChanged();
    } else if (control == m_programStepper) {
        m_programMenu->setValue(control->getValue());
        programChosen();
    } else if (control == m_categoryMenu) {
        categoryChanged();
    } else if (control == m_programMenu) {
        programChosen();
    } else if (control == m_compareLabel) {
        compare();
    } else if (control == m_aboutMenu) {
        aboutChosen();
    } else if (control == m_saveButton) {
        if (control->getValue() == 1.f)
            prepareSave();
        else
            completeSave();
    } else if (control == m_colourMenu) {
        applyColourScheme();
    } else if (control == m_zoomControl) {
        m_listener->zoomChanged((int)control->getValue());
    }
    refreshEditedMarker();
}

void ToolBar::compare()
{
    Program* program = currentProgram();
    if (!program) return;
    program->setValueType(program->isShowingCurrent() ? VALUE_INITIAL : VALUE_CURRENT);
    m_compareStateLabel->setText(program->isShowingCurrent() ? "current" : "original");
    m_notifications->programValuesChanged();
}

void ToolBar::aboutChosen()
{
    switch (m_aboutMenu->getCurrentIndex()) {
    case 0:
        Platform::openInShell(Platform::pluginDataPath("ondrel.html"));  // a failure changes nothing
        break;
    case 1: {
        const CRect all(0, 0, m_frame->getWidth(), m_frame->getHeight());
        auto* credits = new cCustomDialogue(all, "Credits", m_aboutBox ? m_aboutBox->lines() : nullptr,
                                            m_aboutBox ? m_aboutBox->lineCount() : 0);
        if (!m_frame->setModalView(credits)) credits->forget();
        break;
    }
    case 2:
        Platform::exploreFolder(Platform::presetFolder(true));
        break;
    default:
        break;
    }
}

void ToolBar::applyColourScheme()
{
    const int i = m_colourMenu->getCurrentIndex();
    if (i < 0 || i >= kNumColourSchemes) return;
    m_colours[0] = colourScheme(i).colour1;
    m_colours[1] = colourScheme(i).colour2;
    m_listener->colourSchemeChanged(m_colours[0], m_colours[1], i);
}

// ---------------------------------------------------------------- saving

void ToolBar::prepareSave()
{
    const Program* p = currentProgram();
    if (!p) return;
    std::string prompt = "Save ";
    if (p->modified) prompt += "edited ";
    prompt += p->readOnly ? "factory preset as user " : "user preset as ";
    prompt += "preset named:";
    const std::string name = p->readOnly ? p->name + " user edit" : p->name;
    m_saveDialog->setTexts(prompt.c_str(), name.c_str());
    // The name can be typed at once.
    m_frame->setFocusView(m_saveDialog->getTextEdit());
}

void ToolBar::completeSave()
{
    Program* source = currentProgram();
    if (!source) return;
    std::string message;
    if (!m_saveDialog->overwrite()) {
        const std::string name = m_saveDialog->getText();
        std::unique_ptr<Program> copy = m_presetManager->duplicateCurrentProgram(name);
        if (!copy || !m_presetManager->saveProgramToNewFile(copy.get(), Platform::presetFolder(true))) {
            message = "Failed to copy preset " + name;
        } else {
            message = "New preset was saved with the name \"" + name + "\"";
            m_presetManager->addProgram(std::move(copy), true);
            // The edits live in the new preset; the source returns to its stored values.
            source->revert();
            if (m_categoryMenu->getNbEntries() != (int)m_presetManager->getCategoryCount()) fillCategoryMenu();
            const std::vector<std::string> names = m_presetManager->getCategoryNames();
            m_categoryMenu->setCurrent(
                entryOf(m_categoryMenu, names[(size_t)m_presetManager->getCurrentCategoryIndex()]));
            fillProgramMenu();
            m_programMenu->setCurrent(m_presetManager->getCurrentProgramIndex());
            programChosen();
        }
    } else {
        // Saving writes the edited values and makes them the active ones:
        // the synthesizer follows when it was sounding the stored values.
        const bool wasComparing = !source->isShowingCurrent();
        if (m_presetManager->saveProgram(source)) {
            message = "Preset \"" + source->name + "\" has been overwritten";
            m_shownModified = false;
            updateCompareDisplay();
        } else {
            message = "Failed to save preset " + source->name;
        }
        if (wasComparing && source->isShowingCurrent()) {
            m_compareStateLabel->setText("current");
            m_notifications->programValuesChanged();
        }
    }
    showMessage(message);
}

void ToolBar::showMessage(const std::string& text)
{
    auto* view = new cTimedResponse(CRect(0, 0, m_frame->getWidth(), m_frame->getHeight()), text.c_str());
    if (!m_frame->setModalView(view)) view->forget();
}
