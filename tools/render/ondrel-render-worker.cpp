// Drives one plug-in of this process for ondrel-render over a binary pipe on
// standard input and output (see WorkerProtocol.h). Built for Windows, it lets
// the native render tool play the Windows DLL under wine.
#include "tools/render/LocalPlugin.h"
#include "tools/render/WorkerProtocol.h"
#include "tools/render/WorkerServer.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fprintf(stderr,
                     "usage: ondrel-render-worker\n"
                     "Started by ondrel-render --worker/--wine; speaks a binary protocol on standard input "
                     "and output.\n");
        return 0;
    }
    int out = worker::claimProtocolOutput();
    if (out < 0) {
        std::fprintf(stderr, "ondrel-render-worker: no standard output for the protocol\n");
        return 1;
    }
    LocalPlugin plugin;
    WorkerServer server(plugin);
    return server.serve(0, out);
}
