#include "MidiFiles.h"

namespace midi_files {

std::vector<unsigned char> tempoChangesWithRunningStatus()
{
    return {
        'M',  'T',  'h',  'd',  0,    0,    0,    6,    0, 1, 0, 2, 0x01, 0xE0,  // format 1, 2 tracks, 480 per quarter
        'M',  'T',  'r',  'k',  0,    0,    0,    27,                            // the tempo map
        0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,                                // 500000 us per quarter
        0x87, 0x40, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,                          // +960: 250000
        0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40,                          // +960: 1000000
        0x00, 0xFF, 0x2F, 0x00,                                                  // end of track
        'M',  'T',  'r',  'k',  0,    0,    0,    31,                            // the notes
        0x83, 0x60, 0x90, 0x3C, 0x64,                                            // pulse 480: on 60
        0x83, 0x60, 0x3E, 0x64,                                                  // 960: on 62 (running status)
        0x83, 0x60, 0x3C, 0x00,                                                  // 1440: 60 off by velocity 0
        0x83, 0x60, 0x80, 0x3E, 0x40,                                            // 1920: off 62
        0x83, 0x60, 0x90, 0x40, 0x50,                                            // 2400: on 64
        0x81, 0x70, 0x40, 0x00,                                                  // 2640: 64 off (running status)
        0x00, 0xFF, 0x2F, 0x00,                                                  // end of track
    };
}

std::vector<unsigned char> hangingNote()
{
    return {
        'M',  'T',  'h',  'd',  0, 0, 0, 6, 0, 0, 0, 1, 0, 96,  // format 0, 1 track, 96 per quarter
        'M',  'T',  'r',  'k',  0, 0, 0, 8,                     // the note
        0x60, 0x90, 0x45, 0x64,                                 // pulse 96: on 69
        0x60, 0xFF, 0x2F, 0x00,                                 // end of track at pulse 192
    };
}

}  // namespace midi_files
