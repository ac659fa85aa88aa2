#include "PresetFolder.h"

#include "Frameworks/PresetManager/PresetPlatform.h"

namespace {

class Loader : public Platform::DirTreeCallback {
public:
    explicit Loader(ProgramFactory& factory) : m_factory(factory) {}
    std::vector<std::unique_ptr<Program>> programs;
    void onFile(const std::string& path) override
    {
        if (auto p = m_factory.loadProgramFile(path)) {
            p->category = m_category;
            programs.push_back(std::move(p));
        }
    }
    std::string enterDirectory(const std::string& name) override
    {
        std::string previous = m_category;
        m_category = name;
        return previous;
    }
    void leaveDirectory(const std::string& previous) override { m_category = previous; }

private:
    ProgramFactory& m_factory;
    std::string m_category;
};

}  // namespace

std::vector<std::unique_ptr<Program>> loadPresetFolder(ProgramFactory& factory, const std::string& folder)
{
    Loader loader(factory);
    Platform::walkDirectoryTree(folder, loader, ".yaml", 0);
    return std::move(loader.programs);
}
