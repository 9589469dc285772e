#include "AllocationRefusal.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

typedef void*(__cdecl* MallocFn)(std::size_t);

// One refusal at a time: the replacement has no other way to reach them. The
// real malloc stays known after the refusal ends, for a thread still inside.
MallocFn g_malloc = nullptr;
std::size_t g_refusedFrom = 0;
std::atomic<unsigned> g_toServe{0};
std::atomic<unsigned> g_refused{0};
bool g_inUse = false;

// Any thread of the module may ask: the count of requests still served is shared.
bool ServeOneMore()
{
    unsigned left = g_toServe.load();
    while (left > 0 && !g_toServe.compare_exchange_weak(left, left - 1)) {
    }
    return left > 0;
}

void* __cdecl RefusingMalloc(std::size_t size)
{
    if (size < g_refusedFrom || ServeOneMore()) return g_malloc(size);
    ++g_refused;
    return nullptr;
}

// The slot through which the module calls the named function of the named library.
void** FindImport(HMODULE module, const char* library, const char* function)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    const auto* entry =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; entry->Name != 0; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
        const auto* names =
            reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

bool Store(void** slot, void* value)
{
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return false;
    *slot = value;
    DWORD ignored = 0;
    return VirtualProtect(slot, sizeof *slot, previous, &ignored) != 0;
}

}  // namespace

AllocationRefusal::AllocationRefusal(HMODULE module, std::size_t refusedFrom, unsigned servedFirst)
{
    void** slot = FindImport(module, "msvcrt.dll", "malloc");
    if (!slot || g_inUse) return;
    g_malloc = reinterpret_cast<MallocFn>(*slot);
    g_refusedFrom = refusedFrom;
    g_toServe = servedFirst;
    g_refused = 0;
    if (!Store(slot, reinterpret_cast<void*>(&RefusingMalloc))) return;
    slot_ = slot;
    g_inUse = true;
}

unsigned AllocationRefusal::Refused() const { return slot_ ? g_refused.load() : 0; }

AllocationRefusal::~AllocationRefusal()
{
    if (!slot_) return;
    // A slot that cannot be put back would leave the module refusing for good.
    if (!Store(slot_, reinterpret_cast<void*>(g_malloc))) std::abort();
    g_inUse = false;
}
