// probe: looks at the Wine desktop from the inside, through the program's API (Wine
// draws every window into one X window). Prints JSON; exits 1 on nothing found, 2 on bad usage.
#include <windows.h>
#include <shellapi.h>  // CommandLineToArgvW

#include <cwchar>
#include <string>
#include <vector>

namespace {

using Str = std::string;

// A JSON string of a wide text, in UTF-8.
Str quote(const std::wstring& w) {
  Str u(w.size() * 3, '\0'), out = "\"";
  u.resize(WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), u.data(),
                               static_cast<int>(u.size()), nullptr, nullptr));
  for (unsigned char c : u)
    (out += c == '"' || c == '\\' ? "\\" : "") += c < 0x20 ? ' ' : static_cast<char>(c);
  return out + "\"";
}

// Straight to the handle: the C runtime's text mode would rewrite line ends.
void emit(const Str& s) {
  Str line = s + "\n";
  DWORD n = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &n, nullptr);
}

Str num(long long v) { return std::to_string(v); }
Str flag(bool b) { return b ? "true" : "false"; }
Str rect_json(const RECT& r) {
  return "{\"x\":" + num(r.left) + ",\"y\":" + num(r.top) + ",\"w\":" + num(r.right - r.left) +
         ",\"h\":" + num(r.bottom - r.top) + "}";
}

template <int(WINAPI* Get)(HWND, LPWSTR, int)>
std::wstring text(HWND h) {
  wchar_t buf[512] = {};
  Get(h, buf, 512);
  return buf;
}
// A class, or the caption the window manager keeps (the window need not answer).
const auto class_of = text<GetClassNameW>;
const auto title_of = text<InternalGetWindowText>;

// A control's own text (an edit box keeps it); a hung window cannot hang us.
std::wstring text_of(HWND h) {
  wchar_t buf[512] = {};
  SendMessageTimeoutW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 1000, nullptr);
  return buf;
}

DWORD pid_of(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

RECT client_on_screen(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

Str window_json(HWND h) {
  RECT wr{};
  GetWindowRect(h, &wr);
  LONG style = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  return "{\"hwnd\":" + num(static_cast<long long>(reinterpret_cast<UINT_PTR>(h))) +
         ",\"class\":" + quote(class_of(h)) + ",\"title\":" + quote(title_of(h)) +
         ",\"pid\":" + num(pid_of(h)) + ",\"visible\":" + flag(IsWindowVisible(h)) +
         ",\"rect\":" + rect_json(wr) + ",\"client\":" + rect_json(client_on_screen(h)) +
         ",\"caption\":" + flag((style & WS_CAPTION) == WS_CAPTION) +
         ",\"topmost\":" + flag(ex & WS_EX_TOPMOST) + ",\"toolwindow\":" + flag(ex & WS_EX_TOOLWINDOW) +
         ",\"appwindow\":" + flag(ex & WS_EX_APPWINDOW) + ",\"noactivate\":" + flag(ex & WS_EX_NOACTIVATE) +
         ",\"owned\":" + flag(GetWindow(h, GW_OWNER) != nullptr) + "}";
}

BOOL CALLBACK collect(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

// One monitor as JSON, appended to the Str at `p`.
BOOL CALLBACK add_monitor(HMONITOR m, HDC, LPRECT, LPARAM p) {
  MONITORINFO mi{sizeof mi, {}, {}, 0};
  GetMonitorInfoW(m, &mi);
  *reinterpret_cast<Str*>(p) += "{\"rect\":" + rect_json(mi.rcMonitor) + ",\"work\":" + rect_json(mi.rcWork) +
                                ",\"primary\":" + flag(mi.dwFlags & MONITORINFOF_PRIMARY) + "},";
  return TRUE;
}

// Top-level windows, top to bottom, of a class or a title ("*": all).
std::vector<HWND> windows(const std::wstring& name) {
  std::vector<HWND> all, found;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
  for (HWND h : all)
    if (name == L"*" || class_of(h) == name || title_of(h) == name) found.push_back(h);
  return found;
}

// GetDC(NULL) and BitBlt, the path the program reads the screen by, as packed RGB.
bool grab(const RECT& r, Str& rgb) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  const bool ok = dib && BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  rgb.resize(static_cast<size_t>(w) * h * 3);
  for (size_t i = 0; ok && i < static_cast<size_t>(w) * h; ++i)
    for (int c = 0; c < 3; ++c) rgb[3 * i + c] = static_cast<const char*>(bits)[4 * i + 2 - c];
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool write_ppm(const std::wstring& path, const RECT& r, const Str& rgb) {
  const Str ppm = "P6\n" + num(r.right - r.left) + " " + num(r.bottom - r.top) + "\n255\n" + rgb;
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  const bool ok =
      f != INVALID_HANDLE_VALUE && WriteFile(f, ppm.data(), static_cast<DWORD>(ppm.size()), &n, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return ok && n == ppm.size();
}

bool save_ppm(const RECT& r, const std::wstring& path) {
  Str rgb;
  return grab(r, rgb) && write_ppm(path, r, rgb);
}

// Every INTERVAL ms for DURATION ms, a line: the first window of each class and, as
// DIR\<i>-<k>.ppm, its client area ("shot") when two copies 10 ms apart agree, none moved.
int watch(DWORD interval, DWORD duration, const std::wstring& dir, const std::vector<std::wstring>& cls) {
  emit("{\"ready\":true}");
  const DWORD t0 = GetTickCount(), n = cls.size();
  for (DWORD i = 0; i * interval < duration; ++i) {
    const long wait = static_cast<long>(t0 + i * interval - GetTickCount());
    if (wait > 0) Sleep(static_cast<DWORD>(wait));
    std::vector<HWND> hs(n);
    std::vector<RECT> at(n);
    std::vector<Str> one(n), two(n);
    for (DWORD k = 0; k < n; ++k) {
      auto found = windows(cls[k]);
      hs[k] = found.empty() ? nullptr : found[0];
      at[k] = client_on_screen(hs[k]);
      if (IsWindowVisible(hs[k])) grab(at[k], one[k]);
    }
    Sleep(10);
    bool still = true;
    for (DWORD k = 0; k < n; ++k) {
      if (IsWindowVisible(hs[k])) grab(at[k], two[k]);
      RECT now = client_on_screen(hs[k]);
      still = still && EqualRect(&at[k], &now);
    }
    Str s = "{\"i\":" + num(i) + ",\"t\":" + num(GetTickCount() - t0) + ",\"wins\":[";
    for (DWORD k = 0; k < n; ++k) {
      const std::wstring file = dir + L"\\" + std::to_wstring(i) + L"-" + std::to_wstring(k) + L".ppm";
      const bool shot = still && !one[k].empty() && one[k] == two[k] && write_ppm(file, at[k], one[k]);
      (s += k ? "," : "") += (hs[k] ? "{\"visible\":" + flag(IsWindowVisible(hs[k])) +
                                          ",\"shot\":" + flag(shot) + ",\"r\":" + rect_json(at[k]) + "}"
                                    : Str("null"));
    }
    emit(s + "]}");
  }
  return 0;
}

// Our own popup menu of the captions ("-": separator) at (x, y), as a tray program opens
// one; a timer saves its picture to FILE and its items' places, then closes it.
struct {
  HMENU menu;
  int items, ticks;
  std::wstring file;
  Str result = "{}";
} g_ref;

LRESULT CALLBACK ref_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_TIMER) return DefWindowProcW(h, msg, wp, lp);
  for (HWND pop : windows(L"#32768")) {
    RECT r{};
    // The second tick with it up: the first may come before it is painted.
    if (pid_of(pop) != GetCurrentProcessId() || !IsWindowVisible(pop) || ++g_ref.ticks < 2) continue;
    KillTimer(h, 1);
    GetWindowRect(pop, &r);
    if (!save_ppm(r, g_ref.file)) break;
    g_ref.result = "{\"popup\":" + rect_json(r) + ",\"items\":[";
    for (int i = 0; i < g_ref.items; ++i) {
      GetMenuItemRect(h, g_ref.menu, i, &r);
      (g_ref.result += i ? "," : "") += rect_json(r);
    }
    g_ref.result += "]}";
    EndMenu();
  }
  return 0;
}

int ref_menu(int x, int y, const std::wstring& file, const std::vector<std::wstring>& captions) {
  WNDCLASSW wc{0, ref_proc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"probeMenuOwner"};
  RegisterClassW(&wc);
  HWND owner =
      CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  g_ref.menu = CreatePopupMenu();
  g_ref.file = file;
  for (const auto& c : captions)
    AppendMenuW(g_ref.menu, c == L"-" ? MF_SEPARATOR : MF_STRING, ++g_ref.items,
                c == L"-" ? nullptr : c.c_str());
  SetForegroundWindow(owner);
  SetTimer(owner, 1, 150, nullptr);
  TrackPopupMenu(g_ref.menu, TPM_RETURNCMD, x, y, 0, owner, nullptr);
  emit(g_ref.result);
  return g_ref.result.size() > 2 ? 0 : 1;
}

}  // namespace

int main() {
  int argc = 0;
  LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &argc);  // the ANSI argv has lost the Japanese
  std::vector<std::wstring> a(w, w + argc);
  a.resize(argc + 8);
  const std::wstring cmd = a[1];
  auto n = [&](int i) { return _wtoi(a[i].c_str()); };
  if (cmd == L"find" || cmd == L"kids") {
    // "kids" adds child windows in Tab order (a taskbar button's id is its window's handle).
    Str s;
    for (HWND h : windows(a[2])) {
      (s += s.empty() ? "" : ",") += window_json(h);
      if (cmd == L"find") continue;
      s.back() = ',';
      s += "\"kids\":[";
      for (HWND k = GetWindow(h, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(k, &r);
        s += Str(s.back() == '[' ? "" : ",") + "{\"class\":" + quote(class_of(k)) +
             ",\"id\":" + num(static_cast<long long>(GetWindowLongPtrW(k, GWLP_ID))) +
             ",\"text\":" + quote(text_of(k)) + ",\"enabled\":" + flag(IsWindowEnabled(k)) +
             ",\"visible\":" + flag(IsWindowVisible(k)) + ",\"rect\":" + rect_json(r) + "}";
      }
      s += "]}";
    }
    emit("[" + s + "]");
    return s.empty();
  }
  if (cmd == L"capture") {
    const bool ok = save_ppm({n(2), n(3), n(2) + n(4), n(3) + n(5)}, a[6]);
    emit(flag(ok));
    return !ok;
  }
  if (cmd == L"monitors") {
    // The monitors in the system's order, and the virtual screen they make up.
    Str s = "{\"monitors\":[";
    EnumDisplayMonitors(nullptr, nullptr, add_monitor, reinterpret_cast<LPARAM>(&s));
    const auto m = [](int i) { return GetSystemMetrics(i); };
    RECT v{m(SM_XVIRTUALSCREEN), m(SM_YVIRTUALSCREEN), m(SM_XVIRTUALSCREEN) + m(SM_CXVIRTUALSCREEN),
           m(SM_YVIRTUALSCREEN) + m(SM_CYVIRTUALSCREEN)};
    if (s.back() == ',') s.pop_back();
    emit(s + "],\"virtual\":" + rect_json(v) + "}");
    return 0;
  }
  if (cmd == L"watch") return watch(n(2), n(3), a[4], {a.begin() + 5, a.begin() + argc});
  if (cmd == L"refmenu") return ref_menu(n(2), n(3), a[4], {a.begin() + 5, a.begin() + argc});
  if (cmd == L"hold") {
    // Sits on the desktop (joined by the window lookup) until killed.
    windows(L"*");
    emit("{\"holding\":true}");
    Sleep(INFINITE);
  }
  if (cmd == L"cover") {
    // A window over the whole screen in front, with a caption (1) or none,
    // as a full-screen program's, until killed.
    HWND h = CreateWindowExW(0, L"STATIC", L"cover", (n(2) ? WS_CAPTION : WS_POPUP) | WS_VISIBLE, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                             nullptr, nullptr);
    SetForegroundWindow(h);
    emit(flag(GetForegroundWindow() == h));
    for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0;) DispatchMessageW(&m);
  }
  emit(
      "{\"usage\":\"find|kids CLASS|TITLE|*, capture X Y W H FILE, watch MS MS DIR CLASS..., "
      "refmenu X Y FILE CAPTION..., hold, cover CAPTION, monitors\"}");
  return 2;
}
