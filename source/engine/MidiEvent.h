// The engine's own MIDI event: a message due at a frame of the next block.
// Each plug-in format copies its host's events into these, so the engine
// never holds on to memory the host owns.
#pragma once

struct MidiEvent {
    int frame = 0;  // frame of the block it is due at; earlier than 0 means at once
    unsigned char status = 0;
    unsigned char data1 = 0;
    unsigned char data2 = 0;
};

// A block's events in frame order, with a fixed capacity (no allocation).
// Events that arrive beyond the capacity are dropped.
class MidiEventQueue {
public:
    static constexpr int kCapacity = 2048;

    // Inserts after every queued event due at the same frame or earlier, so
    // the queue stays in frame order and events of one frame keep their
    // arrival order. Returns false when the queue is full.
    bool add(const MidiEvent& event)
    {
        if (count_ >= kCapacity) return false;
        int at = count_;
        while (at > next_ && events_[at - 1].frame > event.frame) {
            events_[at] = events_[at - 1];
            --at;
        }
        events_[at] = event;
        ++count_;
        return true;
    }
    // The next event due at or before `frame`, or null.
    const MidiEvent* due(int frame)
    {
        if (next_ >= count_ || events_[next_].frame > frame) return nullptr;
        return &events_[next_++];
    }
    // True when an event is due at or before `frame`.
    bool dueBy(int frame) const { return next_ < count_ && events_[next_].frame <= frame; }
    // Frames from `frame` on before the next event is due, `limit` at most
    // (0 when one is due at or before `frame`).
    int framesBefore(int frame, int limit) const
    {
        if (next_ >= count_) return limit;
        const int k = events_[next_].frame - frame;
        return k < 0 ? 0 : (k < limit ? k : limit);
    }
    void clear() { count_ = next_ = 0; }
    int size() const { return count_ - next_; }

private:
    MidiEvent events_[kCapacity];
    int count_ = 0;
    int next_ = 0;
};
