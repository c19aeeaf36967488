#include "gdi_objects.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace {

// One entry of the GDI handle table as Wine lays it out for both bitnesses.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;  // low byte: bit 7 marks a stock object
    std::uint8_t type;     // 0: free
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "Wine's GDI handle entry is 24 bytes");

constexpr std::size_t handleCount = 0x10000;

// Offsets of the fields that lead to the table: none of them is in the public declarations.
constexpr std::uint64_t peb32Table = 0x94;   // PEB32.GdiSharedHandleTable
constexpr std::uint64_t peb64Table = 0xF8;   // PEB64.GdiSharedHandleTable
constexpr std::uint64_t teb32Wow64Teb = 0xF70;  // TEB32.GdiBatchCount: Wine keeps the TEB64 there
constexpr std::uint64_t teb64Peb = 0x60;     // TEB64.ProcessEnvironmentBlock

struct ThreadBasicInformation {
    LONG exitStatus;
    PVOID tebBaseAddress;
    CLIENT_ID clientId;
    ULONG_PTR affinityMask;
    LONG priority;
    LONG basePriority;
};

template <typename Function>
Function ntdllFunction(const char* name) {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)))
                 : nullptr;
}

// Reads a pointer-sized field of `bytes` bytes (4 or 8) at `address` in `process`; 0 on failure or
// where the address does not fit this process's pointers.
std::uint64_t readField(HANDLE process, std::uint64_t address, std::size_t bytes) {
    if (address == 0 || address > UINTPTR_MAX) return 0;
    std::uint64_t value = 0;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)),
                           &value, bytes, &read) ||
        read != bytes)
        return 0;
    return value;
}

std::uint64_t pebOf(HANDLE process) {
    using Query = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = ntdllFunction<Query>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION info{};
    ULONG length = 0;
    if (!query || query(process, ProcessBasicInformation, &info, sizeof info, &length) != 0) return 0;
    return reinterpret_cast<std::uintptr_t>(info.PebBaseAddress);
}

// The TEB of some thread of `process` (its main thread for a program with one).
std::uint64_t tebOf(HANDLE process) {
    using Query = NTSTATUS(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    const auto query = ntdllFunction<Query>("NtQueryInformationThread");
    const DWORD pid = GetProcessId(process);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (!query || pid == 0 || snapshot == INVALID_HANDLE_VALUE) {
        if (snapshot != INVALID_HANDLE_VALUE) CloseHandle(snapshot);
        return 0;
    }
    std::uint64_t teb = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more && teb == 0; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        ThreadBasicInformation info{};
        ULONG length = 0;
        if (query(thread, 0 /* ThreadBasicInformation */, &info, sizeof info, &length) == 0)
            teb = reinterpret_cast<std::uintptr_t>(info.tebBaseAddress);
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return teb;
}

// Where the table may be. A 64-bit process keeps it in its PEB. A 32-bit one keeps it in its
// 32-bit PEB, except where Wine runs it beside a 64-bit PEB (WoW64): then only the 64-bit PEB has
// it, reached from the thread's 32-bit TEB through the 64-bit TEB.
std::vector<std::uint64_t> tableCandidates(HANDLE process) {
    std::vector<std::uint64_t> candidates;
    const std::uint64_t peb = pebOf(process);
    if (sizeof(void*) == 8) {
        candidates.push_back(readField(process, peb + peb64Table, 8));
        return candidates;
    }
    candidates.push_back(readField(process, peb + peb32Table, 4));
    const std::uint64_t teb64 = readField(process, tebOf(process) + teb32Wow64Teb, 4);
    const std::uint64_t peb64 = readField(process, teb64 + teb64Peb, 8);
    candidates.push_back(readField(process, peb64 + peb64Table, 8));
    // The PEB reported for a WoW64 process may be the 64-bit one.
    candidates.push_back(readField(process, peb + peb64Table, 8));
    return candidates;
}

// A table is the real one when it holds this process's stock objects, which Wine makes alike
// in every process: their handles, types and stock flags.
bool holdsStockObjects(const std::vector<GdiHandleEntry>& table) {
    for (int stock : {WHITE_BRUSH, BLACK_PEN, SYSTEM_FONT}) {
        const auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(GetStockObject(stock)));
        const GdiHandleEntry& e = table[handle & 0xFFFF];
        if (e.type == 0 || !(e.unique & 0x80) || e.unique != (handle >> 16)) return false;
    }
    return true;
}

}  // namespace

long gdiObjectsOf(HANDLE process, std::string* how) {
    SetLastError(0);
    const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    if (reported != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        if (how) *how = "GetGuiResources";
        return static_cast<long>(reported);
    }
    std::vector<GdiHandleEntry> table(handleCount);
    for (std::uint64_t address : tableCandidates(process)) {
        SIZE_T read = 0;
        if (address == 0 || address > UINTPTR_MAX ||
            !ReadProcessMemory(process, reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address)),
                               table.data(), table.size() * sizeof table[0], &read) ||
            !holdsStockObjects(table))
            continue;
        long count = 0;
        for (const GdiHandleEntry& e : table)
            if (e.type != 0 && !(e.unique & 0x80)) ++count;
        if (how) *how = "the process's GDI handle table (GetGuiResources is a stub here)";
        return count;
    }
    if (how) *how = "no method: GetGuiResources is a stub and no GDI handle table was found";
    return -1;
}
