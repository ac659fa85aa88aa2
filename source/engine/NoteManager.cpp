#include "source/engine/NoteManager.h"

#include <cstring>

void NoteManager::clear()
{
    std::memset(ages_, 0, sizeof ages_);
    std::memset(notes_, 0, sizeof notes_);
    std::memset(velocities_, 0, sizeof velocities_);
    std::memset(released_, 0, sizeof released_);
    counter_ = -1;
    activeCount_ = 0;
    legatoHeld_ = 0;
}

void NoteManager::setVoiceCount(int n)
{
    clear();
    voiceCount_ = n < 1 ? 1 : (n > kEntries ? kEntries : n);
}

int NoteManager::noteOn(int note, int velocity, unsigned idleSlots)
{
    return voiceCount_ == 1 ? monoNoteOn(note, velocity) : polyNoteOn(note, velocity, idleSlots);
}

int NoteManager::noteOff(int note, bool* found)
{
    if (found) *found = false;
    return voiceCount_ == 1 ? monoNoteOff(note, found) : polyNoteOff(note, found);
}

int NoteManager::polyNoteOn(int note, int velocity, unsigned idleSlots)
{
    const int n = voiceCount_;
    const int key = note + 1;
    // A held note retriggers in its own slot.
    for (int s = 0; s < n; ++s) {
        if (notes_[s] == key) {
            released_[s] = 0;
            return s;
        }
    }
    if (activeCount_ < n) ++activeCount_;
    int chosen = -1;
    for (int s = 0; s < n && s < 32; ++s) {
        if (idleSlots & (1u << s)) {
            chosen = s;
            break;
        }
    }
    if (chosen < 0) {
        // The highest slot whose key is up (still sounding its release). The
        // oldest held note is stolen only when every slot holds a key.
        for (int s = n - 1; s >= 0; --s) {
            if (notes_[s] == 0) {
                chosen = s;
                break;
            }
        }
    }
    if (chosen < 0) {
        // Every slot holds a note: steal the earliest started.
        chosen = 0;
        for (int s = 1; s < n; ++s)
            if (ages_[s] < ages_[chosen]) chosen = s;
    }
    velocities_[chosen] = velocity;
    notes_[chosen] = key;
    ages_[chosen] = counter_;
    ++counter_;
    released_[chosen] = 0;
    return chosen;
}

int NoteManager::polyNoteOff(int note, bool* found)
{
    const int key = note + 1;
    for (int s = 0; s < voiceCount_; ++s) {
        if (notes_[s] == key) {
            notes_[s] = 0;
            released_[s] = 0;
            if (activeCount_ > 0) --activeCount_;
            if (found) *found = true;
            return s;
        }
    }
    return -1;
}

int NoteManager::monoNoteOn(int note, int velocity)
{
    if (counter_ >= kEntries - 1) {
        // Stack full: the oldest (bottom) entry makes room.
        std::memmove(notes_, notes_ + 1, sizeof(int) * (kEntries - 1));
        std::memmove(velocities_, velocities_ + 1, sizeof(int) * (kEntries - 1));
        std::memmove(released_, released_ + 1, kEntries - 1);
        counter_ = kEntries - 2;
    }
    if (counter_ < -1) counter_ = -1;
    ++counter_;
    notes_[counter_] = note + 1;
    velocities_[counter_] = velocity;
    released_[counter_] = 0;
    legatoHeld_ = 1;
    return counter_ == 0 ? 0 : -1;
}

int NoteManager::monoNoteOff(int note, bool* found)
{
    const int key = note + 1;
    int top = counter_;
    if (top >= kEntries) top = kEntries - 1;
    int at = -1;
    for (int j = 0; j <= top; ++j) {
        if (notes_[j] == key) {
            at = j;
            break;
        }
    }
    // A note that is not held changes nothing.
    if (at < 0) return -1;
    if (found) *found = true;
    counter_ = top - 1;
    if (counter_ < 0) {
        counter_ = -1;
        notes_[1] = 0;
        released_[0] = released_[1] = 0;
        legatoHeld_ = 0;
        return 0;
    }
    for (int j = at; j <= counter_; ++j) {
        notes_[j] = notes_[j + 1];
        velocities_[j] = velocities_[j + 1];
        released_[j] = released_[j + 1];
    }
    notes_[counter_ + 1] = 0;
    velocities_[counter_ + 1] = 0;
    released_[counter_ + 1] = 0;
    return legatoHeld_ ? -1 : 0;
}

int NoteManager::velocity(int entry) const { return (entry >= 0 && entry < kEntries) ? velocities_[entry] : 0; }

int NoteManager::topNote() const
{
    int at = counter_ >= 0 && counter_ < kEntries ? counter_ : 0;
    return notes_[at] - 1;
}

int NoteManager::heldNote(int entry) const { return (entry >= 0 && entry < kEntries) ? notes_[entry] - 1 : -1; }

int NoteManager::heldCount() const
{
    if (voiceCount_ == 1) return counter_ + 1;
    return activeCount_;
}
