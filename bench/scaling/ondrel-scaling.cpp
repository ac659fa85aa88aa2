// ondrel-scaling: what one instance of the module costs per frame against the
// number of held notes (0 to 8, blocks of 256) and against the block size (32
// to 4096, eight notes), at 48 kHz with a factory preset. Prints the figures
// and draws them as two small plots into a PNG.
//   ondrel-scaling OUT.png [--preset NAME] [--module Ondrel.so]
// Each figure is the least CPU time of several runs of the same work (the
// machine is shared: the least is the one least disturbed).
#include "tools/host/PluginHost.h"
#include "tools/render/PresetLibrary.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr float kRate = 48000.0f;
constexpr int kFrames = 24000;  // frames rendered per run (0.5 s)
constexpr int kRuns = 7;

double threadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

struct Measure {
    std::string module;
    std::vector<unsigned char> preset;

    // ns per frame with `voices` held notes in blocks of `block` frames.
    double nsPerFrame(int voices, int block, double& levelDb) const
    {
        PluginHost host;
        std::string error;
        if (!host.load(module, error)) {
            std::fprintf(stderr, "ondrel-scaling: %s\n", error.c_str());
            std::exit(1);
        }
        host.start(kRate, block);
        if (!preset.empty() && !host.setChunk(preset.data(), preset.size(), true)) {
            std::fprintf(stderr, "ondrel-scaling: the module refused the preset\n");
            std::exit(1);
        }
        // A chord over two octaves, struck at once and held.
        static const int notes[8] = {48, 52, 55, 59, 60, 64, 67, 71};
        for (int v = 0; v < voices; ++v) host.queueMidi(0, 0x90, (uint8_t)notes[v], 100);
        std::vector<float> left((size_t)block), right((size_t)block);
        for (int done = 0; done < kFrames / 2; done += block) host.process(left.data(), right.data(), block);
        double best = 1e30, sum = 0.0;
        for (int run = 0; run < kRuns; ++run) {
            double began = threadSeconds();
            for (int done = 0; done < kFrames; done += block) host.process(left.data(), right.data(), block);
            best = std::min(best, threadSeconds() - began);
        }
        for (float s : left) sum += (double)s * s;
        levelDb = 10.0 * std::log10(sum / block + 1e-30);
        return best / (double)((kFrames + block - 1) / block * block) * 1e9;
    }
};

struct Series {
    std::string title, xLabel;
    bool logX = false;
    std::vector<double> x, y;
};

// One plot into the rectangle (left, top, width, height) of the picture.
void drawPlot(cairo_t* cr, const Series& s, double left, double top, double width, double height)
{
    const double x0 = left + 58, x1 = left + width - 14, y0 = top + height - 44, y1 = top + 30;
    double yMax = 0.0;
    for (double v : s.y) yMax = std::max(yMax, v);
    // A round top for the axis: 1, 2 or 5 times a power of ten.
    double step = std::pow(10.0, std::floor(std::log10(std::max(yMax, 1.0) / 4.0)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (yMax / (step * m) <= 5.0) {
            step *= m;
            break;
        }
    const double yTop = std::ceil(yMax / step) * step;
    auto px = [&](double x) {
        double a = s.logX ? std::log2(x) : x, lo = s.logX ? std::log2(s.x.front()) : s.x.front(),
               hi = s.logX ? std::log2(s.x.back()) : s.x.back();
        return x0 + (a - lo) / (hi - lo) * (x1 - x0);
    };
    auto py = [&](double y) { return y0 - y / yTop * (y0 - y1); };

    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    cairo_text_extents_t ext;
    auto text = [&](const std::string& t, double x, double y, double alignX) {
        cairo_text_extents(cr, t.c_str(), &ext);
        cairo_move_to(cr, x - ext.width * alignX - ext.x_bearing, y);
        cairo_show_text(cr, t.c_str());
    };

    // Grid and tick labels.
    cairo_set_line_width(cr, 1.0);
    for (double v = 0.0; v <= yTop + step / 2; v += step) {
        cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
        cairo_move_to(cr, x0, std::round(py(v)) + 0.5);
        cairo_line_to(cr, x1, std::round(py(v)) + 0.5);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        text(std::to_string((int)std::lround(v)), x0 - 6, py(v) + 4, 1.0);
    }
    for (double x : s.x) {
        cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
        text(std::to_string((int)x), px(x), y0 + 16, 0.5);
    }
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
    cairo_rectangle(cr, x0 + 0.5, y1 + 0.5, x1 - x0, y0 - y1);
    cairo_stroke(cr);
    text(s.xLabel, (x0 + x1) / 2, y0 + 34, 0.5);
    cairo_set_font_size(cr, 12);
    text(s.title, (x0 + x1) / 2, top + 18, 0.5);
    cairo_save(cr);
    cairo_set_font_size(cr, 11);
    cairo_move_to(cr, left + 14, (y0 + y1) / 2);
    cairo_rotate(cr, -M_PI / 2);
    cairo_text_extents(cr, "ns per frame", &ext);
    cairo_rel_move_to(cr, -ext.width / 2, 0);
    cairo_show_text(cr, "ns per frame");
    cairo_restore(cr);

    // The figures: a line through the points.
    cairo_set_source_rgb(cr, 0.13, 0.36, 0.66);
    cairo_set_line_width(cr, 2.0);
    for (size_t i = 0; i < s.x.size(); ++i) {
        if (i == 0)
            cairo_move_to(cr, px(s.x[i]), py(s.y[i]));
        else
            cairo_line_to(cr, px(s.x[i]), py(s.y[i]));
    }
    cairo_stroke(cr);
    for (size_t i = 0; i < s.x.size(); ++i) {
        cairo_arc(cr, px(s.x[i]), py(s.y[i]), 3.5, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

bool drawPng(const std::string& path, const std::vector<Series>& plots, const std::string& caption)
{
    const int width = 760, height = 300;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    const double each = (double)width / (double)plots.size();
    for (size_t i = 0; i < plots.size(); ++i) drawPlot(cr, plots[i], each * (double)i, 0, each, height - 18);
    cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
    cairo_set_font_size(cr, 10);
    cairo_move_to(cr, 10, height - 8);
    cairo_show_text(cr, caption.c_str());
    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out, presetName = "Bell Tower";
    Measure measure;
    measure.module = ONDREL_MODULE;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--preset" && i + 1 < argc)
            presetName = argv[++i];
        else if (a == "--module" && i + 1 < argc)
            measure.module = argv[++i];
        else if (!a.empty() && a[0] != '-' && out.empty())
            out = a;
        else {
            std::fprintf(stderr, "usage: ondrel-scaling OUT.png [--preset NAME] [--module Ondrel.so]\n");
            return 2;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: ondrel-scaling OUT.png [--preset NAME] [--module Ondrel.so]\n");
        return 2;
    }
    setenv("ONDREL_NO_DIALOGS", "1", 0);
    std::vector<PresetFile> found = PresetLibrary(measure.module).find(presetName);
    std::string error;
    if (found.size() != 1 || !readFileBytes(found[0].path, measure.preset, error)) {
        std::fprintf(stderr, "ondrel-scaling: no single preset \"%s\" beside %s\n", presetName.c_str(),
                     measure.module.c_str());
        return 1;
    }

    Series voices{"Cost against held notes (blocks of 256)", "voices", false, {}, {}};
    Series blocks{"Cost against block size (8 voices)", "frames per block", true, {}, {}};
    std::printf("%-8s %-7s %14s %12s\n", "voices", "block", "ns per frame", "level dB");
    double level = 0.0;
    for (int v = 0; v <= 8; ++v) {
        voices.x.push_back(v);
        voices.y.push_back(measure.nsPerFrame(v, 256, level));
        std::printf("%-8d %-7d %14.1f %12.1f\n", v, 256, voices.y.back(), level);
    }
    for (int b = 32; b <= 4096; b *= 2) {
        blocks.x.push_back(b);
        blocks.y.push_back(measure.nsPerFrame(8, b, level));
        std::printf("%-8d %-7d %14.1f %12.1f\n", 8, b, blocks.y.back(), level);
    }
    std::string caption = "Ondrel (VST module), \"" + presetName + "\", 48 kHz, held chord; least CPU time of " +
                          std::to_string(kRuns) + " runs of 0.5 s";
    if (!drawPng(out, {voices, blocks}, caption)) {
        std::fprintf(stderr, "ondrel-scaling: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s\n", out.c_str());
    return 0;
}
