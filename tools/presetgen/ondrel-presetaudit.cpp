// Renders every preset of a folder through the synthesis engine and reports
// what a musician hears: the level of a held chord, the peaks of loud chords
// and notes, the velocity response, echo repeats, the fifth, the share of a
// low note below 300 Hz, a suggested Gain_out and each preset's nearest
// neighbour by sound. Fails (exit 1) when the library breaks its limits
// (libraryFaults in PresetRender.h).
//
//   ondrel-presetaudit data/Presets/Factory [part of a name]
//
// With a part of a name only the presets whose names hold it are measured
// (the library's limits are then not judged).
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/ParameterTable.h"
#include "tools/presetgen/PresetFolder.h"
#include "tools/presetgen/PresetRender.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <preset folder> [part of a name]\n", argv[0]);
        return 2;
    }
    Parameters parameters;
    fillParameterTable(parameters);
    ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    const std::vector<std::unique_ptr<Program>> programs = loadPresetFolder(factory, argv[1]);

    struct Row {
        const Program* program;
        NoteMeasure note;
    };
    std::vector<Row> rows;
    std::vector<AuditedPreset> audited;
    for (const auto& program : programs) {
        if (argc == 3 && program->name.find(argv[2]) == std::string::npos) continue;
        float values[kNumParameters];
        for (int i = 0; i < kNumParameters; ++i) values[i] = program->getValue(i);
        rows.push_back({program.get(), renderNotes(values, {48}, 100, 1.5f, 2.0f)});
        audited.push_back({program->category, program->name, values[kVelosens], measureSound(values, true)});
    }

    // Gain_out that brings the chord to -18 dBFS with every peak at -3.5 dBFS
    // or below, eight loud notes at -0.5 dBFS (the output gain is the value squared).
    std::printf("%-7s %-20s %6s %6s %6s %5s %5s %6s %6s %6s  %s\n", "categ.", "name", "level", "peak", "peak8", "vel",
                "echo", "fifth", "bass", "gain>", "nearest (distance)");
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        const PresetSound& s = audited[i].sound;
        const Row* nearest = nullptr;
        float best = 1e30f;
        for (const Row& other : rows) {
            if (&other == &row) continue;
            const float d = soundDistance(row.note, other.note);
            if (d < best) {
                best = d;
                nearest = &other;
            }
        }
        const float changeDb = std::min(std::min(-18.0f - s.levelDb, -3.5f - s.peakDb), -0.5f - s.fullChordPeakDb);
        const float suggested = row.program->getValue(kGain_out) * std::pow(10.0f, changeDb / 40.0f);
        std::printf("%-7s %-20s %6.1f %6.1f %6.1f %5.1f %5d %6.1f %6.1f %6.3f  %s (%.1f)%s\n",
                    row.program->category.c_str(), row.program->name.c_str(), s.levelDb, s.peakDb, s.fullChordPeakDb,
                    s.velocityDb, s.echoes, s.fifthDb, s.bassDb, suggested,
                    nearest ? nearest->program->name.c_str() : "-", best,
                    audited[i].velosens > 0.0f ? "" : "  (no velocity)");
    }
    std::vector<float> levels;
    for (const AuditedPreset& p : audited) levels.push_back(p.sound.levelDb);
    std::sort(levels.begin(), levels.end());
    if (!levels.empty())
        std::printf("%zu presets; level median %.1f dBFS, spread %.1f dB (%.1f to %.1f)\n", levels.size(),
                    0.5f * (levels[(levels.size() - 1) / 2] + levels[levels.size() / 2]),
                    levels.back() - levels.front(), levels.front(), levels.back());
    std::vector<std::string> faults = libraryFaults(audited);
    if (argc == 3)
        faults.erase(
            std::remove_if(faults.begin(), faults.end(),
                           [](const std::string& f) { return f.rfind("level", 0) == 0 || f.rfind("median", 0) == 0; }),
            faults.end());
    for (const std::string& f : faults) std::printf("FAULT %s\n", f.c_str());
    const int failures = (int)faults.size();
    return failures ? 1 : 0;
}
