#include "MidiFiles.h"

#include <string>

namespace midi_files {

namespace {

void be32(std::vector<unsigned char>& v, uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8) v.push_back((unsigned char)(x >> s));
}

void be16(std::vector<unsigned char>& v, uint16_t x)
{
    v.push_back((unsigned char)(x >> 8));
    v.push_back((unsigned char)x);
}

std::vector<unsigned char> header(uint16_t format, uint16_t tracks, uint16_t division)
{
    std::vector<unsigned char> v{'M', 'T', 'h', 'd'};
    be32(v, 6);
    be16(v, format);
    be16(v, tracks);
    be16(v, division);
    return v;
}

void track(std::vector<unsigned char>& file, const std::vector<unsigned char>& body)
{
    for (char c : std::string("MTrk")) file.push_back((unsigned char)c);
    be32(file, (uint32_t)body.size());
    file.insert(file.end(), body.begin(), body.end());
}

}  // namespace

std::vector<unsigned char> tempoChangesWithRunningStatus()
{
    std::vector<unsigned char> file = header(1, 2, 480);
    track(file, {
                    0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // 500000 us per quarter
                    0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // +960: 250000
                    0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,  // +960: 1000000
                    0x00, 0xFF, 0x2F, 0x00,
                });
    track(file, {
                    0x83, 0x60, 0x90, 0x3C, 0x64,  // pulse 480: on 60
                    0x83, 0x60, 0x3E, 0x64,        // 960: on 62 (running status)
                    0x83, 0x60, 0x3C, 0x00,        // 1440: 60 off by velocity 0
                    0x83, 0x60, 0x80, 0x3E, 0x40,  // 1920: off 62
                    0x83, 0x60, 0x90, 0x40, 0x50,  // 2400: on 64
                    0x81, 0x70, 0x40, 0x00,        // 2640: 64 off (running status)
                    0x00, 0xFF, 0x2F, 0x00,
                });
    return file;
}

std::vector<unsigned char> hangingNote()
{
    std::vector<unsigned char> file = header(0, 1, 96);
    track(file, {
                    0x60, 0x90, 0x45, 0x64,  // pulse 96: on 69
                    0x60, 0xFF, 0x2F, 0x00,  // end of track at pulse 192
                });
    return file;
}

}  // namespace midi_files
