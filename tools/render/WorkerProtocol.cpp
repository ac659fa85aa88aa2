#include "tools/render/WorkerProtocol.h"

#include <cstring>

namespace worker {

void Writer::raw(const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    buffer.insert(buffer.end(), p, p + size);
}

void Writer::text(const std::string& s) { bytes(s.data(), s.size()); }

void Writer::bytes(const void* data, size_t size)
{
    u32((uint32_t)size);
    raw(data, size);
}

bool Reader::raw(void* out, size_t size)
{
    if (!good || size > buffer.size() - position) {
        good = false;
        std::memset(out, 0, size);
        return false;
    }
    std::memcpy(out, buffer.data() + position, size);
    position += size;
    return true;
}

std::vector<uint8_t> Reader::bytes()
{
    uint32_t n = u32();
    if (!good || n > remaining()) {
        good = false;
        return {};
    }
    std::vector<uint8_t> out(buffer.begin() + (long)position, buffer.begin() + (long)(position + n));
    position += n;
    return out;
}

std::string Reader::text()
{
    std::vector<uint8_t> b = bytes();
    return std::string(b.begin(), b.end());
}

bool sendFrame(int fd, uint32_t code, const std::vector<uint8_t>& payload)
{
    if (payload.size() > kMaxPayload) return false;
    uint32_t header[2] = {code, (uint32_t)payload.size()};
    // One write for small frames keeps the pipe traffic to a single packet.
    std::vector<uint8_t> frame(sizeof header + payload.size());
    std::memcpy(frame.data(), header, sizeof header);
    if (!payload.empty()) std::memcpy(frame.data() + sizeof header, payload.data(), payload.size());
    return writeAll(fd, frame.data(), frame.size());
}

bool receiveFrame(int fd, uint32_t& code, std::vector<uint8_t>& payload)
{
    uint32_t header[2];
    if (!readAll(fd, header, sizeof header)) return false;
    if (header[1] > kMaxPayload) return false;
    code = header[0];
    payload.resize(header[1]);
    return header[1] == 0 || readAll(fd, payload.data(), payload.size());
}

}  // namespace worker
