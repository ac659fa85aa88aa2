#!/usr/bin/env python3
"""Writes the side-by-side benchmark's MIDI file: 60 s at 120 beats per minute
of seven-note chords changing every two beats under a melody of one note per
beat (eight voices sounding), then silence. With --held: eight notes held
for 10 s, then 10 s of their release.
    bench/scripts/bench-song.py OUT.mid [--held]"""
import struct
import sys

PPQN = 480
chords = [[48, 52, 55, 59, 62, 64, 67], [45, 48, 52, 55, 59, 62, 64],
          [41, 45, 48, 52, 55, 57, 60], [43, 47, 50, 53, 57, 59, 62]]
melody = [72, 74, 76, 79, 77, 76, 74, 71]

events = []  # (tick, order, bytes): note-offs before note-ons at one tick
held = '--held' in sys.argv[2:]
if held:
    for key in [48, 52, 55, 59, 62, 64, 67, 72]:
        events.append((0, 1, bytes([0x90, key, 90])))
        events.append((20 * PPQN, 0, bytes([0x80, key, 64])))
    events.append((40 * PPQN, 0, bytes([0xB0, 64, 0])))  # 10 s of release before the end
for beat in range(0, 0 if held else 120, 2):
    chord = chords[(beat // 2) % len(chords)]
    for key in chord:
        events.append((beat * PPQN, 1, bytes([0x90, key, 90])))
        events.append(((beat + 2) * PPQN - 10, 0, bytes([0x80, key, 64])))
for beat in range(0 if held else 120):
    key = melody[beat % len(melody)]
    events.append((beat * PPQN, 1, bytes([0x90, key, 100])))
    events.append(((beat + 1) * PPQN - 10, 0, bytes([0x80, key, 64])))
events.sort(key=lambda e: (e[0], e[1]))


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


track = bytearray(b'\x00\xff\x51\x03' + (500000).to_bytes(3, 'big'))  # 120 bpm
last = 0
for tick, _, data in events:
    track += varlen(tick - last) + data
    last = tick
track += b'\x00\xff\x2f\x00'
with open(sys.argv[1], 'wb') as f:
    f.write(b'MThd' + struct.pack('>IHHH', 6, 0, 1, PPQN))
    f.write(b'MTrk' + struct.pack('>I', len(track)) + track)
