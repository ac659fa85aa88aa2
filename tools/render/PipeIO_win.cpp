#include "tools/render/WorkerProtocol.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace worker {

bool readAll(int fd, void* data, size_t size)
{
    char* p = static_cast<char*>(data);
    while (size > 0) {
        unsigned chunk = size > (1u << 30) ? (1u << 30) : (unsigned)size;
        int n = _read(fd, p, chunk);
        if (n <= 0) return false;
        p += n;
        size -= (size_t)n;
    }
    return true;
}

bool writeAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        unsigned chunk = size > (1u << 30) ? (1u << 30) : (unsigned)size;
        int n = _write(fd, p, chunk);
        if (n <= 0) return false;
        p += n;
        size -= (size_t)n;
    }
    return true;
}

int claimProtocolOutput()
{
    _setmode(0, _O_BINARY);
    int protocol = _dup(1);
    _setmode(protocol, _O_BINARY);
    _dup2(2, 1);
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    return protocol;
}

}  // namespace worker
