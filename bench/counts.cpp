// counts PID: what a process holds under Wine, for the soak (bench/wine.py), as
// {"gdi":N,"windows":N,"kernel":N}; counts close HWND: WM_CLOSE to a window.
// Wine's GetGuiResources and GetProcessHandleCount say 0, so they are read
// where Wine keeps them: GDI objects in the process's PEB GdiSharedHandleTable
// (built as wide as the program it looks at, so the PEB's layout is the
// program's), windows and descendants, kernel handles (SystemHandleInformation).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

BOOL CALLBACK one(HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; }

template <class F>
F ntdll(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "close")
    return !PostMessageW(reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 10)), WM_CLOSE, 0, 0);
  if (argc != 2) return std::puts("usage: counts PID | counts close HWND"), 2;
  const DWORD pid = std::strtoul(argv[1], nullptr, 10);
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  struct {
    LONG status;
    char* peb;
    ULONG_PTR rest[4];
  } basic{};
  // The GDI table: 0x10000 entries of 24 bytes for both widths, the type at byte 14.
  constexpr size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94, kEntry = 24;
  std::vector<unsigned char> table(0x10000 * kEntry);
  void* at = nullptr;
  long long gdi = -1, kernel = -1;
  using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  if (p && ntdll<Query>("NtQueryInformationProcess")(p, 0, &basic, sizeof basic, nullptr) == 0 &&
      ReadProcessMemory(p, basic.peb + kPebGdiTable, &at, sizeof at, nullptr) && at &&
      ReadProcessMemory(p, at, table.data(), table.size(), nullptr)) {
    gdi = 0;
    for (size_t i = 14; i < table.size(); i += kEntry) gdi += table[i] != 0;
  }
  std::vector<char> buf(1 << 20);
  using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  LONG st;
  while ((st = ntdll<QuerySystem>("NtQuerySystemInformation")(16, buf.data(), buf.size(), nullptr)) ==
         LONG(0xC0000004))
    buf.resize(buf.size() * 2);
  struct Handle {
    ULONG pid;
    UCHAR type, flags;
    USHORT value;
    void* object;
    ULONG access;
  };
  const auto* hs = reinterpret_cast<const Handle*>(buf.data() + sizeof(ULONG_PTR));
  if (st == 0) kernel = 0;
  for (ULONG i = 0, n = *reinterpret_cast<ULONG*>(buf.data()); st == 0 && i < n; ++i)
    kernel += hs[i].pid == pid;
  int windows = 0;  // top-level and message-only, with their descendants
  for (HWND parent : {HWND(nullptr), HWND_MESSAGE})
    for (HWND h = nullptr; (h = FindWindowExW(parent, h, nullptr, nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(h, &owner);
      if (owner == pid) ++windows, EnumChildWindows(h, one, reinterpret_cast<LPARAM>(&windows));
    }
  std::printf("{\"gdi\":%lld,\"windows\":%d,\"kernel\":%lld}\n", gdi, windows, kernel);
  return gdi < 0 || kernel < 0;
}
