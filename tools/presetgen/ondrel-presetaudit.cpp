// Renders every preset of a folder through the synthesis engine and reports
// levels, decay and how far each preset sounds from its nearest neighbour.
// Fails (exit 1) when a preset clips, is silent or produces non-finite
// samples.
//
//   ondrel-presetaudit data/Presets/Factory
#include "Frameworks/Core/Parameters.h"
#include "Frameworks/PresetManager/PresetPlatform.h"
#include "Frameworks/PresetManager/ProgramFactory.h"
#include "source/ParameterTable.h"
#include "tools/presetgen/PresetRender.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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
    void leaveDirectory(const std::string& token) override { m_category = token; }

private:
    ProgramFactory& m_factory;
    std::string m_category;
};

float db(float x) { return 20.0f * std::log10(x + 1e-9f); }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <preset folder>\n", argv[0]);
        return 2;
    }
    Parameters parameters;
    fillParameterTable(parameters);
    ProgramFactory factory(parameters, "Ondrel", "0.9.8");
    Loader loader(factory);
    Platform::walkDirectoryTree(argv[1], loader, ".yaml", 0);

    struct Row {
        const Program* program;
        NoteMeasure note;
        float worstPeak;
        float chordPeak;
    };
    std::vector<Row> rows;
    int failures = 0;
    for (const auto& program : loader.programs) {
        float values[43];
        for (int i = 0; i < kNumParameters; ++i) values[i] = program->getValue(i);
        Row row{program.get(), renderNotes(values, {48}, 100, 1.5f, 2.0f), 0.0f, 0.0f};
        bool finite = row.note.finite;
        for (int note : {24, 36, 48, 60, 72, 84, 96}) {
            NoteMeasure loud = renderNotes(values, {note}, 127, 1.5f, 2.0f);
            row.worstPeak = std::max(row.worstPeak, loud.peak);
            finite = finite && loud.finite;
        }
        // A chord, and the same chord held long (feedback and loops may build up).
        NoteMeasure chord = renderNotes(values, {48, 55, 60, 64}, 127, 1.5f, 2.0f);
        NoteMeasure longChord = renderNotes(values, {36, 48, 55, 60, 64, 67, 72, 76}, 127, 8.0f, 4.0f);
        row.chordPeak = std::max(chord.peak, longChord.peak);
        finite = finite && chord.finite && longChord.finite;
        const bool silent = row.note.rmsStart < 1e-3f;
        if (!finite || row.worstPeak > 1.0f || silent) ++failures;
        rows.push_back(row);
        std::fflush(stdout);
    }

    // Gain_out that brings the loudest single note to about -7 dBFS and a
    // four-note chord to no more than -1 dBFS (the output gain is value squared).
    std::printf("%-10s %-20s %6s %6s %7s %7s %7s %7s %6s %6s  %s\n", "category", "name", "peak", "chord", "start", "held",
                "after", "centre", "cents", "gain>", "nearest (distance)");
    for (const Row& row : rows) {
        const Row* nearest = nullptr;
        float best = 1e30f;
        for (const Row& other : rows) {
            if (&other == &row) continue;
            float d = soundDistance(row.note, other.note);
            if (d < best) {
                best = d;
                nearest = &other;
            }
        }
        const float scale = std::min(0.45f / std::max(row.worstPeak, 1e-6f), 0.9f / std::max(row.chordPeak, 1e-6f));
        const float suggested = row.program->getValue(40) * std::sqrt(scale);
        std::printf("%-10s %-20s %6.3f %6.3f %7.1f %7.1f %7.1f %7.0f %6.1f %6.3f  %s (%.1f)%s\n",
                    row.program->category.c_str(), row.program->name.c_str(), row.worstPeak, row.chordPeak,
                    db(row.note.rmsStart), db(row.note.rmsHeld), db(row.note.rmsAfter), row.note.centroidHz, row.note.pitchCents, suggested,
                    nearest ? nearest->program->name.c_str() : "-", best,
                    (!row.note.finite || row.worstPeak > 1.0f || row.note.rmsStart < 1e-3f) ? "  FAIL" : "");
    }
    std::printf("%zu presets, %d failing\n", rows.size(), failures);
    return failures ? 1 : 0;
}
