// The editor as a VST 2.4 host sees it: the AEffEditor the plug-in hands to
// its AudioEffect base, which owns it. It owns the editor in turn and passes
// the host's rectangle, open, close, idle and key calls to it.
#pragma once

#include "BaseLibrary/AEffEditor.h"

#include <memory>

class myEditor;

class VstEditorGlue : public AEffEditor {
public:
    explicit VstEditorGlue(std::unique_ptr<myEditor> editor);
    ~VstEditorGlue() override;

    // The editor's present size (its size at the last open or size change).
    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() override;
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;

    myEditor& getEditor() { return *editor; }

private:
    std::unique_ptr<myEditor> editor;
    ERect rect{};
};
