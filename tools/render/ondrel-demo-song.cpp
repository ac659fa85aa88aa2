// ondrel-demo-song OUT.mid: writes the demo song of `make demo` with libsmf,
// a format 1 file of about eight seconds: a tempo track and a track of
// chords under a short melody, ending with a held chord.
#include <glib.h>  // before smf.h, which includes it inside extern "C"
#include <smf.h>

#include <cstdio>

namespace {

bool add(smf_track_t* track, int pulses, int status, int d1, int d2)
{
    smf_event_t* e = smf_event_new_from_bytes(status, d1, d2);
    if (!e) return false;
    smf_track_add_event_pulses(track, e, pulses);
    return true;
}

bool note(smf_track_t* track, int start, int length, int key, int velocity)
{
    return add(track, start, 0x90, key, velocity) && add(track, start + length, 0x80, key, 64);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ondrel-demo-song OUT.mid\n");
        return 2;
    }
    const int q = 480;  // pulses per quarter note
    smf_t* smf = smf_new();
    if (!smf || smf_set_ppqn(smf, q) != 0) return 1;
    smf_track_t* tempo = smf_track_new();
    smf_track_t* music = smf_track_new();
    smf_add_track(smf, tempo);
    smf_add_track(smf, music);

    // 112 beats per minute, 4/4.
    unsigned char setTempo[] = {0xFF, 0x51, 0x03, 0x08, 0x2E, 0x2E};  // 535714 us per quarter
    unsigned char timeSig[] = {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08};
    smf_track_add_event_pulses(tempo, smf_event_new_from_pointer(timeSig, sizeof timeSig), 0);
    smf_track_add_event_pulses(tempo, smf_event_new_from_pointer(setTempo, sizeof setTempo), 0);

    bool ok = true;
    // A minor, F major, C major, G major: one bar each, then A minor held.
    const int chords[5][3] = {{57, 60, 64}, {53, 57, 60}, {48, 55, 64}, {55, 59, 62}, {57, 60, 64}};
    for (int bar = 0; bar < 5; ++bar) {
        int length = bar < 4 ? 4 * q - 20 : 4 * q;
        for (int k : chords[bar]) ok = ok && note(music, bar * 4 * q, length, k, 70);
        ok = ok && note(music, bar * 4 * q, length, chords[bar][0] - 12, 90);
    }
    // Melody over the first four bars: quarter and eighth notes.
    const int melody[][3] = {{0, 2, 76}, {2, 1, 74},  {3, 1, 72},  {4, 2, 72},  {6, 2, 69},
                             {8, 2, 67}, {10, 1, 69}, {11, 1, 72}, {12, 3, 74}, {15, 1, 71}};
    for (const auto& m : melody) ok = ok && note(music, m[0] * 2 * q / 2 * 1, m[1] * q - 30, m[2], 100);
    if (!ok || smf_save(smf, argv[1]) != 0) {
        std::fprintf(stderr, "ondrel-demo-song: cannot write %s\n", argv[1]);
        smf_delete(smf);
        return 1;
    }
    smf_delete(smf);
    return 0;
}
