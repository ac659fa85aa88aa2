#include "tools/render/WorkerServer.h"

#include "tools/render/WorkerProtocol.h"

using namespace worker;

int WorkerServer::serve(int in, int out)
{
    uint32_t command = 0;
    std::vector<uint8_t> payload, answer;
    while (receiveFrame(in, command, payload)) {
        if (command == cmdQuit) {
            sendFrame(out, statusOk, {});
            return 0;
        }
        std::string error;
        answer.clear();
        bool ok = handle(command, payload, answer, error);
        if (!ok) {
            Writer w;
            w.raw(error.data(), error.size());
            answer = w.data();
        }
        if (!sendFrame(out, ok ? statusOk : statusFailed, answer)) return 1;
    }
    return 1;
}

bool WorkerServer::handle(uint32_t command, const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer,
                          std::string& error)
{
    Reader r(payload);
    Writer w;
    bool ok = true;
    switch (command) {
    case cmdLoad: {
        std::string path = r.text();
        ok = r.ok() && plugin.load(path, error);
        break;
    }
    case cmdStart: {
        float rate = r.f32();
        int32_t block = r.i32();
        ok = r.ok() && block > 0 && block <= (1 << 16) && plugin.start(rate, block);
        if (ok) {
            left.assign((size_t)block, 0.0f);
            right.assign((size_t)block, 0.0f);
        } else if (error.empty()) {
            error = "the plug-in could not be started";
        }
        break;
    }
    case cmdInfo: {
        PluginInfo i = plugin.info();
        w.text(i.effectName);
        w.text(i.vendor);
        w.text(i.product);
        for (int32_t v :
             {i.uniqueID, i.version, i.numInputs, i.numOutputs, i.numParams, i.numPrograms, i.flags, i.category})
            w.i32(v);
        break;
    }
    case cmdParameters: {
        std::vector<ParamInfo> list = plugin.parameters();
        w.u32((uint32_t)list.size());
        for (const ParamInfo& p : list) {
            w.text(p.name);
            w.text(p.label);
            w.text(p.display);
            w.f32(p.value);
        }
        break;
    }
    case cmdProgramNames: {
        std::vector<std::string> names = plugin.programNames();
        w.u32((uint32_t)names.size());
        for (const std::string& n : names) w.text(n);
        break;
    }
    case cmdProgramName:
        w.text(plugin.programName());
        break;
    case cmdSetParameter: {
        int32_t index = r.i32();
        float value = r.f32();
        ok = r.ok() && plugin.setParameter(index, value);
        break;
    }
    case cmdSetProgram: {
        int32_t index = r.i32();
        ok = r.ok() && plugin.setProgram(index);
        break;
    }
    case cmdSetChunk: {
        std::vector<uint8_t> bytes = r.bytes();
        ok = r.ok() && plugin.setProgramChunk(bytes);
        if (!ok) error = "the plug-in refused the program chunk";
        break;
    }
    case cmdSetTempo: {
        double bpm = r.f64();
        ok = r.ok() && plugin.setTempo(bpm);
        break;
    }
    case cmdProcess: {
        int32_t frames = r.i32();
        uint32_t n = r.u32();
        if (!r.ok() || frames <= 0 || (size_t)frames > left.size() || n > r.remaining() / 7) {
            error = "malformed process request";
            return false;
        }
        events.resize(n);
        for (BlockEvent& e : events) {
            e.frame = r.i32();
            r.raw(e.data, 3);
            if (e.frame < 0 || e.frame >= frames) e.frame = 0;
        }
        ok = r.ok() && plugin.process(events, frames, left.data(), right.data());
        if (ok) {
            w.raw(left.data(), sizeof(float) * (size_t)frames);
            w.raw(right.data(), sizeof(float) * (size_t)frames);
        }
        break;
    }
    default:
        error = "unknown command " + std::to_string(command);
        return false;
    }
    if (!ok && error.empty()) error = "request " + std::to_string(command) + " failed";
    if (ok) answer = w.data();
    return ok;
}
