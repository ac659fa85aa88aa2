// Programs and modules the render tests run, as the build placed them.
#pragma once

#include <string>
#include <vector>

namespace render_paths {
inline const std::string tool = RENDER_TOOL;
inline const std::string worker = RENDER_WORKER;
inline const std::string ondrel = ONDREL_MODULE;
inline const std::string noEntryModule = NOENTRY_MODULE;
inline const std::string nullEntryModule = NULLENTRY_MODULE;
inline const std::string amsynth = AMSYNTH_MODULE;
inline const std::string zynaddsubfx = ZYNADDSUBFX_MODULE;

// Environment for runs of foreign plug-ins: a writable home for their
// settings, and no leak report about memory they keep until exit.
inline std::vector<std::string> peerEnvironment(const std::string& home)
{
    return {"HOME=" + home, "ASAN_OPTIONS=detect_leaks=0", "ONDREL_NO_DIALOGS=1"};
}

// Environment for runs of our own plug-in, with every leak reported.
inline std::vector<std::string> ondrelEnvironment(const std::string& home)
{
    return {"HOME=" + home, "ONDREL_NO_DIALOGS=1"};
}
}  // namespace render_paths
