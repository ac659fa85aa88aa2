// Shared helpers of the preset tests: the parameter table, scratch folders
// (Files.h), a capture of the preset diagnostics and hand-written preset documents.
#pragma once

#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetLog.h"
#include "Frameworks/PresetManager/PresetManager.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/ParameterTable.h"
#include "tests/support/Files.h"
#include "tests/support/PresetDocuments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace presets_test {

using testing_support::listFolder;
using testing_support::packedChunk;
using testing_support::presetDocument;
using testing_support::readFile;
using testing_support::ScratchFolder;

// The instrument's table and a factory over it.
struct Table {
    Parameters parameters;
    Table() { fillParameterTable(parameters); }
};

struct FactoryFixture {
    Table table;
    ProgramFactory factory{table.parameters, "Ondrel", "0.9.8"};
};

// Collects the diagnostics while it lives.
class LogCapture {
public:
    LogCapture()
    {
        s_text.clear();
        PresetLog::setRecorder([](const char* text) { s_text += text; });
    }
    ~LogCapture() { PresetLog::setRecorder(nullptr); }
    const std::string& text() const { return s_text; }
    bool contains(const std::string& piece) const { return s_text.find(piece) != std::string::npos; }
    void clear() { s_text.clear(); }

private:
    static inline std::string s_text;
};

// A preset library over a data folder of its own.
class LibraryTest : public ::testing::Test {
protected:
    LibraryTest() { Platform::setDataFolderOverride(data.path()); }
    ~LibraryTest() override { Platform::setDataFolderOverride(""); }
    // Scans the folders and selects the first program, as an instance does.
    void start()
    {
        manager.loadAllPresets();
        manager.selectProgram(0, 0);
    }

    ScratchFolder data;
    FactoryFixture f;
    LogCapture log;
    PresetManager manager{f.factory};
};

// The document of the default program, as the writer must produce it.
inline std::string initDocument(const Parameters& parameters, const std::string& name = "Init")
{
    std::string text = presetDocument("", name);
    for (size_t i = 0; i < parameters.count(); ++i)
        text +=
            "  " + parameters.presetKey((int)i) + ": " + (parameters.defaultValue((int)i) == 0.0f ? "0" : "0.5") + "\n";
    return text;
}

// The library's own category names, as the host and the user see them.
inline const std::string kFactory = "\u00ABFactory presets\u00BB";
inline const std::string kUser = "\u00ABUser presets\u00BB";
inline const std::string kProject = "\u00ABProject presets\u00BB";
inline const std::string kInit = "\u00ABInit\u00BB";

}  // namespace presets_test
