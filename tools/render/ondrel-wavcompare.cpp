// ondrel-wavcompare A.wav B.wav: compares two renders of the same song (e.g.
// the Linux and the Windows build of a plug-in). Prints lengths, the largest
// sample difference and the correlation; exits 1 when the lengths, rates or
// channel counts differ or the correlation is below --min-correlation.
#include "tools/render/SignalStats.h"
#include "tools/render/WavFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    std::string a, b;
    double minimum = -1.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--min-correlation") == 0 && i + 1 < argc)
            minimum = std::atof(argv[++i]);
        else if (a.empty())
            a = argv[i];
        else if (b.empty())
            b = argv[i];
    }
    if (a.empty() || b.empty()) {
        std::fprintf(stderr, "usage: ondrel-wavcompare A.wav B.wav [--min-correlation C]\n");
        return 2;
    }
    WavData x, y;
    std::string error;
    if (!readWav(a, x, error) || !readWav(b, y, error)) {
        std::fprintf(stderr, "ondrel-wavcompare: %s\n", error.c_str());
        return 2;
    }
    std::vector<float> sa(x.left), sb(y.left);
    sa.insert(sa.end(), x.right.begin(), x.right.end());
    sb.insert(sb.end(), y.right.begin(), y.right.end());
    Comparison c = compareSignals(sa, sb);
    bool sameShape = x.frames() == y.frames() && x.sampleRate == y.sampleRate && x.channels == y.channels;
    std::printf("compare: %zu vs %zu frames%s, peak %s vs %s, largest difference %.3g (%s), correlation %.9f\n",
                x.frames(), y.frames(), sameShape ? " (same length)" : " (DIFFERENT)",
                LevelMeter::dbText(c.peakA).c_str(), LevelMeter::dbText(c.peakB).c_str(), c.largestDifference,
                LevelMeter::dbText(c.largestDifference).c_str(), c.correlation);
    if (!sameShape) return 1;
    if (c.correlation < minimum) return 1;
    return 0;
}
