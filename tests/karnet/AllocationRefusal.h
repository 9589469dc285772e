// The heap of a machine with no large block left, as one module sees it: while
// the object lives, that module's calls of msvcrt's malloc refuse every request
// of at least the given size (smaller ones are served), and operator new, which
// allocates through malloc, throws std::bad_alloc for them. The heap may also
// run out part-way through a call: the first servedFirst of those requests are
// still served.
#pragma once

#include <winsock2.h>  // before windows.h, as every socket test here includes them
#include <windows.h>

#include <cstddef>

class AllocationRefusal {
public:
    AllocationRefusal(HMODULE module, std::size_t refusedFrom, unsigned servedFirst = 0);
    ~AllocationRefusal();
    AllocationRefusal(const AllocationRefusal&) = delete;
    AllocationRefusal& operator=(const AllocationRefusal&) = delete;

    // False when the module imports no malloc from msvcrt.dll: nothing is refused.
    bool Active() const { return slot_ != nullptr; }
    // How many requests it has refused so far.
    unsigned Refused() const;

private:
    void** slot_ = nullptr;  // the module's import address of malloc
};
