#!/usr/bin/env bash
# A real LV2 host: Ardour, headless on its dummy audio back-end, loads an LV2
# instrument by URI on a MIDI track, plays a chord into it and exports 3 s of
# the master bus to a WAV file, which must not be silent.
#   scripts/ardour-check.sh URI [OUT.wav]
# LV2_PATH says where Ardour looks for the plug-in (as for any lilv host).
# Needs Debian's `ardour` (scripts/setup.sh --hosts installs it) and python3.
#
# Ardour's Lua cannot make a MIDI region without its editor, so the chord
# comes from a small Lua processor placed before the instrument: it strikes
# C, E, G and C' every half second (note-offs, then note-ons), so that the
# exported range holds the chord wherever the engine's clock stands.
set -euo pipefail

uri=${1:?usage: scripts/ardour-check.sh URI [OUT.wav]}
lua=$(command -v ardour7-lua || compgen -c | grep -E '^ardour[0-9]+-lua$' | sort -V | tail -n 1 || true)
export_tool=${lua%-lua}-export
if [ -z "$lua" ] || ! command -v "$export_tool" >/dev/null; then
    echo "ardour-check: Ardour's headless tools (ardour7-lua, ardour7-export) are missing: scripts/setup.sh --hosts" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out=${2:-$work/out.wav}
version=$(basename "$lua" -lua)  # ardour7

# Ardour keeps its settings and finds user scripts under XDG_CONFIG_HOME:
# a fresh one, so the user's own settings play no part.
export HOME=$work XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/$version/scripts"
cat >"$XDG_CONFIG_HOME/$version/scripts/ondrel_check_chord.lua" <<'EOF'
ardour {
	["type"]    = "dsp",
	name        = "Ondrel Check Chord",
	category    = "Utility",
	license     = "MIT",
	author      = "Ondrel",
	description = [[Strikes a C major chord every half second.]]
}

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 }, }
end

local period = 24000
local count = 0
local notes = { 60, 64, 67, 72 }

function dsp_init (rate)
	period = math.floor (rate / 2)
end

function dsp_run (_, _, n_samples)
	local n = 1
	for time = 1, n_samples do
		if count == 0 then
			for _, note in ipairs (notes) do
				midiout[n] = { time = time, data = { 0x80, note, 0 } }
				midiout[n + 1] = { time = time, data = { 0x90, note, 100 } }
				n = n + 2
			end
		end
		count = (count + 1) % period
	end
end
EOF

# The session: one MIDI track with the chord and the instrument, and a range
# of 3 s at 48 kHz (made as a range marker; turned into the session range below).
cat >"$work/make-session.lua" <<EOF
AudioEngine:set_backend ("None (Dummy)", "", "")
local s = create_session ("$work/session", "check", 48000)
assert (s, "no session")
local midi = ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1)
local stereo = ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2)
local tracks = s:new_midi_track (midi, stereo, true, ARDOUR.PluginInfo (), nil, nil, 1, "Synth",
	ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
assert (tracks:size () == 1, "no MIDI track")
local track = tracks:front ()
local chord = ARDOUR.LuaAPI.new_plugin (s, "Ondrel Check Chord", ARDOUR.PluginType.Lua, "")
assert (not chord:isnil (), "the chord processor did not load")
local synth = ARDOUR.LuaAPI.new_plugin (s, "$uri", ARDOUR.PluginType.LV2, "")
if synth:isnil () then
	print ("ardour-check: Ardour found no LV2 plug-in $uri (LV2_PATH=${LV2_PATH:-unset})")
	os.exit (3)
end
assert (track:add_processor_by_index (chord, 0, nil, true) == 0, "chord not added")
assert (track:add_processor_by_index (synth, 1, nil, true) == 0, "instrument not added")
print ("ardour-check: loaded " .. track:nth_plugin (1):display_name ())
s:locations ():add_range (Temporal.timepos_t (0), Temporal.timepos_t (3 * 48000))
s:save_state ("", false, false, false, false, false)
close_session ()
EOF
"$lua" "$work/make-session.lua" >"$work/lua.log" 2>&1 || true
if ! grep -q '^ardour-check: loaded' "$work/lua.log"; then
    echo "ardour-check: Ardour did not load $uri:" >&2
    grep -E 'ardour-check|Error|error' "$work/lua.log" >&2 || tail -n 5 "$work/lua.log" >&2
    exit 1
fi
sed -n 's/^ardour-check: //p' "$work/lua.log"
session=$work/session/check.ardour
sed -i 's/name="range1" \(start="[^"]*" end="[^"]*"\) flags="IsRangeMarker"/name="session" \1 flags="IsSessionRange"/' \
    "$session"
grep -q 'flags="IsSessionRange"' "$session" || { echo "ardour-check: no session range in $session" >&2; exit 1; }

"$export_tool" -b 16 -s 48000 -o "$out" "$work/session" check >"$work/export.log" 2>&1 || {
    echo "ardour-check: export failed:" >&2
    tail -n 5 "$work/export.log" >&2
    exit 1
}
python3 - "$out" <<'EOF'
import array, math, sys, wave
with wave.open(sys.argv[1]) as w:
    rate, channels, frames = w.getframerate(), w.getnchannels(), w.getnframes()
    samples = array.array("h", w.readframes(frames))
peak = max((abs(s) for s in samples), default=0) / 32768.0
rms = math.sqrt(sum(s * s for s in samples) / max(len(samples), 1)) / 32768.0
db = lambda v: "%.1f dBFS" % (20 * math.log10(v)) if v > 0 else "-inf dBFS"
print("ardour-check: exported %d frames at %d Hz, %d channels, peak %s, RMS %s" % (frames, rate, channels, db(peak), db(rms)))
if frames != 3 * 48000 or rate != 48000:
    sys.exit("ardour-check: expected 3 s at 48000 Hz")
if peak < 1e-3:
    sys.exit("ardour-check: the export is silent")
EOF
