#include "editor/HelpBox.h"

#include "toolkit/DrawContext.h"

#include <cstdio>

namespace help {

namespace {

const char* const kTable[kEntries][kLines] = {
    {"Selects the wave type.", " ", " ", " ", " "},
    {"Adjusts upper hamonics strenght.", " ", " ", " ", " "},
    {"Transposes the pitch", "1 octave down or 1 up.", " ", " ", " "},
    {"Fine tunes the oscillator,", "cents offset and reference", "A tuning in Hz are displayed.", "Use Ctrl + Click ",
     "to set the default value. "},
    {" ", " ", " ", " ", " "},
    {" ", " ", " ", " ", " "},
    {" ", " ", " ", " ", " "},
    {" ", " ", " ", " ", " "},
    {"Selects the number of repeats", "to the ADSR envelope", "in loop mode.", " ", " "},
    {"Adjusts the volume sensivity", "to MIDI velocity.", " ", " ", " "},
    {"Turns on wave type modulation", "by the ADSR envelope.", " ", " ", " "},
    {"Turns on wave harmonics modulation", "by the ADSR envelope.", " ", " ", " "},
    {"Adjusts the speed of modulation", "for delay 1.", " ", " ", " "},
    {"Adjusts the depth of modulation", "for delay 1.", " ", " ", " "},
    {"Adjusts the offset time", "for delay 1.", "When Memory is off this can be tuned",
     "in semitones, relatively to the played note.", " "},
    {"Turns on the delay 1.", " ", " ", " ", " "},
    {"Adjusts the speed of modulation", "for delay 2.", " ", " ", " "},
    {"Adjusts the depth of modulation", "for delay 2.", " ", " ", " "},
    {"Adjusts the offset time", "for delay 2.", "When Memory is off this can be tuned",
     "in semitones, relatively to the played note.", " "},
    {"Turns on the delay 2.", " ", " ", " ", " "},
    {"Adjusts the speed of modulation", "for delay 3.", " ", " ", " "},
    {"Adjusts the depth of modulation", "for delay 3.", " ", " ", " "},
    {"Adjusts the offset time", "for delay 3.", "When Memory is off this can be tuned",
     "in semitones, relatively to the played note.", " "},
    {"Turns on the delay 3.", " ", " ", " ", " "},
    {"Moves the output of delay 2 to left", "and the output of delay 3 to right", "in the stereo field.", " ", " "},
    {"Selects voicing of the synth:", "8 voices or mono legato.", " ", " ", " "},
    {"Turns on the ability of the three delays", "to hold a longer time, up to 250 ms.",
     "But disables the tuning per semitones", "of the Lag knobs", "This is mostly audible with high feedback. "},
    {"Adjusts the level of output signal ", "sent back to the delays.", " ", " ", " "},
    {"Switches the phase of the feedback", "to negative.", " ", " ", " "},
    {"Adjusts the attack time of", "the feedback envelope.", " ", " ", " "},
    {"Adjusts the release time of", "the feedback envelope.", " ", " ", " "},
    {"Adjusts the size of reverb,", "and the decay time. ", " ", " ", " "},
    {"Adjusts the dry/wet mix of reverb.", " ", " ", " ", " "},
    {"Turns Reverb on or off.", "Using a little fade time.", " ", " ", " "},
    {"Adjusts the frequency of the HighPass filter", "", "", "", " "},
    {"Adjusts the frequency of the LowPass filter", "", "", "", " "},
    {"Adjusts the frequency of the BandReject filter", "", "", "", " "},
    {"Adjusts the BandWidth of the BandReject filter", "", "", "", " "},
    {"Adjusts the gain of the BandReject filter", "", "", "", " "},
    {"Turns Equalizer on or off.", " ", " ", " ", " "},
    {"Adjusts the main volume.", " ", " ", " ", " "},
    {"Balances left and right ouputs", " ", " ", " ", " "},
    {"Adjusts the level of bandpassed noise.", " ", " ", " ", " "},
    {"Use Shift + Click", "to fine tune the sliders or the knobs.", "Use Ctrl + Click ", "to set the default value. ",
     "Adjusting box sliders diagonally increase speed."},
    {"Click on bars", "to reset the peaks holders.", " ", " ", " "},
    {"Changes the size of the GUI,", "some DAWs may need you will close", "and reopen the GUI after that.", " ", " "},
    {"The oscilloscope can be zoomed", "horizontally using the small slider in the middle.", " ", " ", " "},
};

}  // namespace

const char* text(int entry, int line)
{
    if (entry < 0 || entry >= kEntries || line < 0 || line >= kLines) return "";
    return kTable[entry][line];
}

}  // namespace help

CToolTip::CToolTip(const CRect& size) : CParamDisplay(size)
{
    setTag(-1);
    setDirty();
}

void CToolTip::setText(int entry)
{
    for (int k = 0; k < help::kLines; ++k) std::snprintf(lines[k], sizeof lines[k], "%s", help::text(entry, k));
}

void CToolTip::setFont(const char* name)
{
    family = name && *name ? name : "Arial";
    setDirty();
}

void CToolTip::draw(CDrawContext* context)
{
    const CCoord L = 0.2 * getHeight();
    if (drawBackground) {
        context->setFrameColor(frameColour);
        context->drawRect(m_size, kDrawStroked);
    }
    context->setFontColor(textColour);
    context->setFont(CFontDesc(family, L - 5, kBoldFace));
    for (int k = 0; k < help::kLines; ++k) {
        const CRect strip(m_size.left, m_size.top + k * L, m_size.right, m_size.top + (k + 1) * L);
        context->drawString(lines[k], strip, textAlign, true);
    }
    setDirty(false);
}
