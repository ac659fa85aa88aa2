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

}  // namespace testing_support
