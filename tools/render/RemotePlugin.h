// A plug-in driven in a worker program (ondrel-render-worker) over a pipe:
// the same program natively, or its Windows build under wine.
#pragma once

#include "tools/render/PluginInstance.h"

#include <sys/types.h>

struct WorkerLaunch {
    std::vector<std::string> command;      // program and arguments
    std::vector<std::string> environment;  // extra NAME=VALUE entries
    // Turns the plug-in path into the worker's view of it (e.g. Z:\... under wine).
    bool windowsPaths = false;
};

// How to start a worker under wine: WINEPREFIX (from `prefix`, or the
// environment, or a "wineprefix" folder in the build folder holding the
// worker), quiet wine, no dialogs.
WorkerLaunch wineLaunch(const std::string& workerExe, const std::string& prefix);
// A native worker started directly.
WorkerLaunch directLaunch(const std::string& workerProgram);

// "/a/b/c.dll" -> "Z:\a\b\c.dll" (wine maps the Unix root to drive Z:).
std::string windowsPathOf(const std::string& unixPath);

class RemotePlugin : public PluginInstance {
public:
    explicit RemotePlugin(WorkerLaunch launch) : launch(std::move(launch)) {}
    ~RemotePlugin() override;
    RemotePlugin(const RemotePlugin&) = delete;
    RemotePlugin& operator=(const RemotePlugin&) = delete;

    // Starts the worker, then asks it to load the module.
    bool load(const std::string& path, std::string& error) override;
    bool start(float sampleRate, int blockSize) override;

    PluginInfo info() override;
    std::vector<ParamInfo> parameters() override;
    std::vector<std::string> programNames() override;
    std::string programName() override;

    bool setParameter(int index, float value) override;
    bool setProgram(int index) override;
    bool setProgramChunk(const std::vector<uint8_t>& bytes) override;
    bool setTempo(double beatsPerMinute) override;

    bool process(const std::vector<BlockEvent>& events, int frames, float* left, float* right) override;

    std::string lastError() const override { return failure; }

private:
    bool spawn(std::string& error);
    // Sends a request and waits for its answer; false on a failed answer or a broken pipe.
    bool request(uint32_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer);
    void stop();

    WorkerLaunch launch;
    pid_t child = -1;
    int toWorker = -1;
    int fromWorker = -1;
    std::string failure;
};
