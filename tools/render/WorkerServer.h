// Serves the pipe protocol of WorkerProtocol.h with a plug-in of this process:
// the body of ondrel-render-worker.
#pragma once

#include "tools/render/PluginInstance.h"

class WorkerServer {
public:
    explicit WorkerServer(PluginInstance& plugin) : plugin(plugin) {}
    // Answers requests from `in` on `out` until cmdQuit or a closed pipe.
    // Returns 0 after cmdQuit, 1 when the pipe broke.
    int serve(int in, int out);

private:
    // Handles one request; false with a message in `error` when it failed.
    bool handle(uint32_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer,
                std::string& error);

    PluginInstance& plugin;
    std::vector<float> left, right;
    std::vector<BlockEvent> events;
};
