#include "tools/render/RemotePlugin.h"

#include "tools/render/WorkerProtocol.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace worker;
namespace fs = std::filesystem;

namespace {
// Wine's first start in a new prefix takes tens of seconds; a block never should.
constexpr int kAnswerTimeoutMs = 180 * 1000;
}  // namespace

WorkerLaunch directLaunch(const std::string& workerProgram)
{
    WorkerLaunch l;
    l.command = {workerProgram};
    return l;
}

WorkerLaunch wineLaunch(const std::string& workerExe, const std::string& prefix)
{
    WorkerLaunch l;
    l.command = {"wine", workerExe};
    l.windowsPaths = true;
    std::string chosen = prefix;
    if (chosen.empty()) {
        const char* env = std::getenv("WINEPREFIX");
        if (env && *env) chosen = env;
    }
    if (chosen.empty()) {
        // The build folder holding the worker keeps its own prefix, as the wine tests do.
        std::error_code ec;
        fs::path dir = fs::absolute(workerExe, ec).parent_path();
        fs::path build = dir;
        for (fs::path p = dir; !p.empty() && p != p.root_path(); p = p.parent_path()) {
            if (fs::exists(p / "CMakeCache.txt", ec)) {
                build = p;
                break;
            }
        }
        chosen = (build / "wineprefix").string();
    }
    l.environment = {"WINEPREFIX=" + chosen, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=;winedbg.exe=d",
                     "ONDREL_NO_DIALOGS=1"};
    return l;
}

std::string windowsPathOf(const std::string& unixPath)
{
    std::error_code ec;
    fs::path absolute = fs::absolute(unixPath, ec);
    std::string s = "Z:" + (ec ? unixPath : absolute.lexically_normal().string());
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

RemotePlugin::~RemotePlugin() { stop(); }

bool RemotePlugin::spawn(std::string& error)
{
    if (launch.command.empty()) {
        error = "no worker program";
        return false;
    }
    int in[2], out[2];
    if (pipe(in) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    if (pipe(out) != 0) {
        error = std::string("cannot create a pipe: ") + std::strerror(errno);
        close(in[0]);
        close(in[1]);
        return false;
    }
    // A worker that dies must not kill this program through SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<char*> argv;
    for (std::string& a : launch.command) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) {
        error = std::string("cannot start the worker: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[0]);
        close(in[1]);
        close(out[0]);
        close(out[1]);
        for (const std::string& e : launch.environment) putenv(const_cast<char*>(e.c_str()));
        execvp(argv[0], argv.data());
        std::fprintf(stderr, "ondrel-render: cannot run %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    child = pid;
    toWorker = in[1];
    fromWorker = out[0];
    return true;
}

void RemotePlugin::stop()
{
    if (child < 0) return;
    if (toWorker >= 0) {
        std::vector<uint8_t> answer;
        if (sendFrame(toWorker, cmdQuit, {})) {
            uint32_t status;
            receiveFrame(fromWorker, status, answer);
        }
        close(toWorker);
    }
    if (fromWorker >= 0) close(fromWorker);
    toWorker = fromWorker = -1;
    int status = 0;
    waitpid(child, &status, 0);
    child = -1;
}

bool RemotePlugin::request(uint32_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer)
{
    if (child < 0) {
        if (failure.empty()) failure = "the worker is not running";
        return false;
    }
    uint32_t status = statusFailed;
    bool sent = sendFrame(toWorker, command, payload);
    // A worker that hangs (a plug-in stuck in a dialog, say) must not hang the render.
    pollfd ready{fromWorker, POLLIN, 0};
    int waited = sent ? poll(&ready, 1, kAnswerTimeoutMs) : -1;
    if (!sent || waited <= 0 || !receiveFrame(fromWorker, status, answer)) {
        failure = waited == 0 ? "the worker did not answer within " + std::to_string(kAnswerTimeoutMs / 1000) + " s"
                              : "the worker stopped answering (it may have crashed)";
        if (waited == 0) kill(child, SIGKILL);
        close(toWorker);
        close(fromWorker);
        toWorker = fromWorker = -1;
        int ignored = 0;
        waitpid(child, &ignored, 0);
        child = -1;
        return false;
    }
    if (status != statusOk) {
        failure.assign(answer.begin(), answer.end());
        return false;
    }
    return true;
}

bool RemotePlugin::load(const std::string& path, std::string& error)
{
    stop();
    if (!spawn(error)) return false;
    Writer w;
    w.text(launch.windowsPaths ? windowsPathOf(path) : path);
    std::vector<uint8_t> answer;
    if (!request(cmdLoad, w.data(), answer)) {
        error = failure;
        return false;
    }
    return true;
}

bool RemotePlugin::start(float sampleRate, int blockSize)
{
    Writer w;
    w.f32(sampleRate);
    w.i32(blockSize);
    std::vector<uint8_t> answer;
    return request(cmdStart, w.data(), answer);
}

PluginInfo RemotePlugin::info()
{
    PluginInfo i;
    std::vector<uint8_t> answer;
    if (!request(cmdInfo, {}, answer)) return i;
    Reader r(answer);
    i.effectName = r.text();
    i.vendor = r.text();
    i.product = r.text();
    i.uniqueID = r.i32();
    i.version = r.i32();
    i.numInputs = r.i32();
    i.numOutputs = r.i32();
    i.numParams = r.i32();
    i.numPrograms = r.i32();
    i.flags = r.i32();
    i.category = r.i32();
    return i;
}

std::vector<ParamInfo> RemotePlugin::parameters()
{
    std::vector<ParamInfo> list;
    std::vector<uint8_t> answer;
    if (!request(cmdParameters, {}, answer)) return list;
    Reader r(answer);
    uint32_t n = r.u32();
    for (uint32_t i = 0; i < n && r.ok(); ++i) {
        ParamInfo p;
        p.name = r.text();
        p.label = r.text();
        p.display = r.text();
        p.value = r.f32();
        if (r.ok()) list.push_back(p);
    }
    return list;
}

std::vector<std::string> RemotePlugin::programNames()
{
    std::vector<std::string> names;
    std::vector<uint8_t> answer;
    if (!request(cmdProgramNames, {}, answer)) return names;
    Reader r(answer);
    uint32_t n = r.u32();
    for (uint32_t i = 0; i < n && r.ok(); ++i) {
        std::string s = r.text();
        if (r.ok()) names.push_back(s);
    }
    return names;
}

std::string RemotePlugin::programName()
{
    std::vector<uint8_t> answer;
    if (!request(cmdProgramName, {}, answer)) return {};
    Reader r(answer);
    return r.text();
}

bool RemotePlugin::setParameter(int index, float value)
{
    Writer w;
    w.i32(index);
    w.f32(value);
    std::vector<uint8_t> answer;
    return request(cmdSetParameter, w.data(), answer);
}

bool RemotePlugin::setProgram(int index)
{
    Writer w;
    w.i32(index);
    std::vector<uint8_t> answer;
    return request(cmdSetProgram, w.data(), answer);
}

bool RemotePlugin::setProgramChunk(const std::vector<uint8_t>& bytes)
{
    Writer w;
    w.bytes(bytes.data(), bytes.size());
    std::vector<uint8_t> answer;
    return request(cmdSetChunk, w.data(), answer);
}

bool RemotePlugin::setTempo(double beatsPerMinute)
{
    Writer w;
    w.f64(beatsPerMinute);
    std::vector<uint8_t> answer;
    return request(cmdSetTempo, w.data(), answer);
}

bool RemotePlugin::process(const std::vector<BlockEvent>& events, int frames, float* left, float* right)
{
    Writer w;
    w.i32(frames);
    w.u32((uint32_t)events.size());
    for (const BlockEvent& e : events) {
        w.i32(e.frame);
        w.raw(e.data, 3);
    }
    std::vector<uint8_t> answer;
    if (!request(cmdProcess, w.data(), answer)) return false;
    size_t bytes = sizeof(float) * (size_t)frames;
    if (answer.size() != 2 * bytes) {
        failure = "the worker answered a block of the wrong size";
        return false;
    }
    std::memcpy(left, answer.data(), bytes);
    std::memcpy(right, answer.data() + bytes, bytes);
    return true;
}
