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
// LV2 plug-ins by URI: Debian's ZynAddSubFX instrument and one of its effects
// (no MIDI input); Ondrel's own LV2 bundle in the build's bundle folder.
inline const std::string zynaddsubfxLv2 = "http://zynaddsubfx.sourceforge.net";
inline const std::string zynaddsubfxLv2Effect = "http://zynaddsubfx.sourceforge.net/fx#Reverb";
inline const std::string ondrelLv2 = "https://zentorial.com/plugins/ondrel";
inline const std::string ondrelLv2Bundle = ONDREL_LV2_BUNDLE;

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
