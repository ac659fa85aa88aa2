#include "VstEditorGlue.h"

#include "editor/myEditor.h"

namespace {
CKeyCode toKeyCode(const VstKeyCode& key)
{
    CKeyCode code;
    code.character = (char32_t)key.character;
    code.virt = (VirtualKey)key.virt;
    code.modifier = key.modifier;
    return code;
}
}  // namespace

VstEditorGlue::VstEditorGlue(std::unique_ptr<myEditor> ownedEditor) : editor(std::move(ownedEditor)) {}

VstEditorGlue::~VstEditorGlue() = default;

bool VstEditorGlue::getRect(ERect** out)
{
    if (!out) return false;
    rect = {0, 0, (int16_t)editor->getHeight(), (int16_t)editor->getWidth()};
    *out = &rect;
    return true;
}

bool VstEditorGlue::open(void* parentWindow)
{
    if (!editor->open(parentWindow)) return false;
    systemWindow = parentWindow;
    return true;
}

void VstEditorGlue::close()
{
    editor->close();
    systemWindow = nullptr;
}

bool VstEditorGlue::isOpen() { return editor->isOpen(); }

void VstEditorGlue::idle() { editor->idle(); }

bool VstEditorGlue::onKeyDown(VstKeyCode& key) { return editor->forwardKeyDown(toKeyCode(key)) == 1; }

bool VstEditorGlue::onKeyUp(VstKeyCode& key) { return editor->forwardKeyUp(toKeyCode(key)) == 1; }
