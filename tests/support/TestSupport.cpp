#include "TestSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace testing_support {

std::string modulePath() { return ONDREL_MODULE_PATH; }

std::unique_ptr<PluginHost> startedHost(float sampleRate, int blockSize)
{
    auto host = std::make_unique<PluginHost>();
    std::string error;
    if (!host->load(modulePath(), error)) {
        std::fprintf(stderr, "cannot load the plug-in: %s\n", error.c_str());
        return nullptr;
    }
    host->start(sampleRate, blockSize);
    return host;
}

MessageLog::MessageLog()
{
    char name[] = "/tmp/ondrel-messages-XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    path = name;
    setenv("ONDREL_NO_DIALOGS", "1", 1);
    setenv("ONDREL_MESSAGE_LOG", path.c_str(), 1);
}

MessageLog::~MessageLog()
{
    unsetenv("ONDREL_MESSAGE_LOG");
    std::remove(path.c_str());
}

std::vector<std::string> MessageLog::lines() const
{
    std::vector<std::string> out;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

static void clampRange(const std::vector<float>& x, size_t& from, size_t& to)
{
    if (to > x.size()) to = x.size();
    if (from > to) from = to;
}

double peak(const std::vector<float>& x, size_t from, size_t to)
{
    clampRange(x, from, to);
    double p = 0;
    for (size_t i = from; i < to; ++i) p = std::max(p, (double)std::fabs(x[i]));
    return p;
}

double rms(const std::vector<float>& x, size_t from, size_t to)
{
    clampRange(x, from, to);
    if (to == from) return 0;
    double s = 0;
    for (size_t i = from; i < to; ++i) s += (double)x[i] * x[i];
    return std::sqrt(s / (double)(to - from));
}

bool allFinite(const std::vector<float>& x)
{
    for (float v : x)
        if (!std::isfinite(v)) return false;
    return true;
}

long firstAbove(const std::vector<float>& x, double threshold, size_t from)
{
    for (size_t i = from; i < x.size(); ++i)
        if (std::fabs(x[i]) > threshold) return (long)i;
    return -1;
}

}  // namespace testing_support
