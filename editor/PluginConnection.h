// What the editor asks of the instrument it shows and of the host it lives
// in, whatever the plug-in format: parameter values and texts, the edits of
// its controls (with their gestures), a new window size, and the engine's
// published display data. Each format layer implements it over its host.
#pragma once

class SynthEngine;

class PluginConnection {
public:
    virtual ~PluginConnection() = default;

    // The current program's value of a parameter, 0..1.
    virtual float getParameter(int index) = 0;
    // Texts of at most 23 characters and a terminator; for a parameter shown
    // without a value the display text is left as it was.
    virtual void getParameterDisplay(int index, char* text) = 0;
    virtual void getParameterLabel(int index, char* text) = 0;

    // A control's gesture starts and ends; in between the user's values come
    // through setParameterAutomated, which sets the parameter (the control
    // follows) and tells the host so that it can record it.
    virtual void beginEdit(int index) = 0;
    virtual void endEdit(int index) = 0;
    virtual void setParameterAutomated(int index, float value) = 0;

    // Asks the host to give the editor's window a new size; false when the
    // host does not (the toolkit then resizes the windows itself).
    virtual bool sizeWindow(int width, int height) = 0;

    // The engine whose scope, peaks and equalizer curve the editor shows.
    virtual SynthEngine& getEngine() = 0;
};
