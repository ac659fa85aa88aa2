// Counts heap allocations made through the global operator new while a
// counting window is open. A program that links this replaces operator new
// for the whole program, so it gets a test program of its own.
#pragma once

namespace testing_support {

class AllocationWindow {
public:
    AllocationWindow();   // opens the window with a count of 0
    ~AllocationWindow();  // closes it
    long count() const;   // allocations since the window opened
};

}  // namespace testing_support
