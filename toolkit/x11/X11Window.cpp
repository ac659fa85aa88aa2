#include "toolkit/headless/HeadlessWindow.h"

namespace backend {
std::unique_ptr<IPlatformWindow> createWindow(PlatformType type, void* parent, CFrame& frame) {
    (void)parent;
    if (type == PlatformType::kHeadless)
        return std::make_unique<HeadlessWindow>(frame);
    return nullptr;
}
}  // namespace backend
