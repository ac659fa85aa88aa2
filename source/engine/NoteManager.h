// Decides which voice slot a note sounds in: eight slots with reuse of idle
// slots and stealing of the oldest note (poly), or one slot with a note stack
// and legato (mono).
#pragma once

class NoteManager {
public:
    static constexpr int kEntries = 128;

    NoteManager() { clear(); }

    // Forgets every note; the voice count stays.
    void clear();
    // Clears, then takes the count (below 1 becomes 1, above 128 becomes 128).
    void setVoiceCount(int n);
    int voiceCount() const { return voiceCount_; }

    // Poly: the slot for the note (bit s of idleSlots set when slot s's amplitude
    // envelope is idle). Mono: 0 when the note is the only one held (the
    // envelopes start), -1 when it joins held notes (legato, pitch only).
    int noteOn(int note, int velocity, unsigned idleSlots);
    // Poly: the slot holding the note, to be released, or -1. Mono: 0 when the
    // last held note goes (release slot 0), -1 otherwise. `found` tells whether
    // the note was held at all.
    int noteOff(int note, bool* found = nullptr);

    // Velocity stored with a slot (poly) or stack entry (mono).
    int velocity(int entry) const;
    // Mono: the note now on top of the stack (entry 0 when the stack is empty),
    // -1 when there is none.
    int topNote() const;
    // Poly: the note held in a slot, -1 when free. Mono: the stack entry.
    int heldNote(int entry) const;
    int heldCount() const;

private:
    int polyNoteOn(int note, int velocity, unsigned idleSlots);
    int polyNoteOff(int note, bool* found);
    int monoNoteOn(int note, int velocity);
    int monoNoteOff(int note, bool* found);

    // `notes` holds note + 1 so that 0 means free even for note 0.
    int ages_[kEntries];
    int notes_[kEntries];
    int velocities_[kEntries];
    unsigned char released_[kEntries];
    int counter_ = -1;
    int activeCount_ = 0;
    int voiceCount_ = 8;
    unsigned char legatoHeld_ = 0;
};
