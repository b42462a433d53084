// probe: looks at the Wine desktop from the inside, through the program's API (Wine
// draws every window into one X window). Prints JSON; exits 1 on nothing found, 2 on bad usage.
#include <windows.h>
#include <shellapi.h>  // CommandLineToArgvW

#include <cstdio>
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
  DWORD n = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), (s + "\n").data(), s.size() + 1, &n, nullptr);
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
// A control's own text (an edit box keeps it); a hung window cannot hang us.
int WINAPI sent_text(HWND h, LPWSTR b, int n) {
  return SendMessageTimeoutW(h, WM_GETTEXT, n, reinterpret_cast<LPARAM>(b), SMTO_ABORTIFHUNG, 1000, nullptr);
}
// A class, the caption the window manager keeps (the window need not answer), a control's text.
const auto class_of = text<GetClassNameW>;
const auto title_of = text<InternalGetWindowText>;
const auto text_of = text<sent_text>;

RECT client_on_screen(HWND h) {
  RECT r{};
  GetClientRect(h, &r), MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A window, a child one with its text; with `kids` its child windows in Tab order (a taskbar button's id is
// its window's handle).
Str window_json(HWND h, bool kids = false) {
  RECT wr{};
  GetWindowRect(h, &wr);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  LONG style = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  Str s = "{\"hwnd\":" + num(static_cast<long long>(reinterpret_cast<UINT_PTR>(h))) +
          ",\"class\":" + quote(class_of(h)) + ",\"pid\":" + num(pid) +
          ",\"visible\":" + flag(IsWindowVisible(h)) + ",\"enabled\":" + flag(IsWindowEnabled(h)) +
          ",\"rect\":" + rect_json(wr) + ",\"client\":" + rect_json(client_on_screen(h)) +
          ",\"caption\":" + flag((style & WS_CAPTION) == WS_CAPTION) +
          ",\"topmost\":" + flag(ex & WS_EX_TOPMOST) + ",\"toolwindow\":" + flag(ex & WS_EX_TOOLWINDOW) +
          ",\"appwindow\":" + flag(ex & WS_EX_APPWINDOW) + ",\"noactivate\":" + flag(ex & WS_EX_NOACTIVATE) +
          ",\"owned\":" + flag(GetWindow(h, GW_OWNER)) + ",\"id\":" + num(GetWindowLongPtrW(h, GWLP_ID)) +
          (style & WS_CHILD ? ",\"text\":" + quote(text_of(h)) : "");
  if (!kids) return s + "}";
  s += ",\"kids\":[";
  for (HWND k = GetWindow(h, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT))
    (s += s.back() == '[' ? "" : ",") += window_json(k);
  return s + "]}";
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

// GetDC(NULL) and BitBlt, the path the program reads the screen by, as packed RGB (none on failure).
Str grab(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return "";
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  Str rgb(dib && BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) ? size_t{3} * w * h : 0, '\0');
  GdiFlush();
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<const char*>(bits)[i / 3 * 4 + 2 - i % 3];
  SelectObject(mem, old), DeleteObject(dib);
  DeleteDC(mem), ReleaseDC(nullptr, screen);
  return rgb;
}

bool write_ppm(const std::wstring& path, const RECT& r, const Str& rgb) {
  const Str ppm = "P6\n" + num(r.right - r.left) + " " + num(r.bottom - r.top) + "\n255\n" + rgb;
  FILE* f = rgb.empty() ? nullptr : _wfopen(path.c_str(), L"wb");
  const bool ok = f && fwrite(ppm.data(), 1, ppm.size(), f) == ppm.size();
  return f && fclose(f) == 0 && ok;
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
      hs[k] = FindWindowW(cls[k].c_str(), nullptr);  // the topmost of the class
      at[k] = client_on_screen(hs[k]);
      if (IsWindowVisible(hs[k])) one[k] = grab(at[k]);
    }
    Sleep(10);
    bool still = true;
    for (DWORD k = 0; k < n; ++k) {
      if (IsWindowVisible(hs[k])) two[k] = grab(at[k]);
      still = still && rect_json(at[k]) == rect_json(client_on_screen(hs[k]));
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

void CALLBACK ref_tick(HWND h, UINT, UINT_PTR, DWORD) {
  for (HWND pop : windows(L"#32768")) {
    RECT r{};
    // The second tick with it up: the first may come before it is painted.
    const bool ours = GetWindowThreadProcessId(pop, nullptr) == GetCurrentThreadId();
    if (!ours || !IsWindowVisible(pop) || ++g_ref.ticks < 2) continue;
    KillTimer(h, 1), GetWindowRect(pop, &r);
    if (!write_ppm(g_ref.file, r, grab(r))) break;
    g_ref.result = "{\"popup\":" + rect_json(r) + ",\"items\":[";
    for (int i = 0; i < g_ref.items; ++i) {
      GetMenuItemRect(h, g_ref.menu, i, &r);
      (g_ref.result += i ? "," : "") += rect_json(r);
    }
    g_ref.result += "]}", EndMenu();
  }
}

int ref_menu(int x, int y, const std::wstring& file, const std::vector<std::wstring>& captions) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  g_ref.menu = CreatePopupMenu(), g_ref.file = file;
  for (const auto& c : captions)
    AppendMenuW(g_ref.menu, c == L"-" ? MF_SEPARATOR : MF_STRING, ++g_ref.items,
                c == L"-" ? nullptr : c.c_str());
  SetForegroundWindow(owner), SetTimer(owner, 1, 150, ref_tick);
  TrackPopupMenu(g_ref.menu, TPM_RETURNCMD, x, y, 0, owner, nullptr), emit(g_ref.result);
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
    Str s;
    for (HWND h : windows(a[2])) (s += s.empty() ? "" : ",") += window_json(h, cmd == L"kids");
    emit("[" + s + "]");
    return s.empty();
  }
  if (cmd == L"capture") {
    const RECT r{n(2), n(3), n(2) + n(4), n(3) + n(5)};
    const bool ok = write_ppm(a[6], r, grab(r));
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
    windows(L"*"), emit("{\"holding\":true}");
    Sleep(INFINITE);
  }
  if (cmd == L"cover") {
    // A full-screen program's window in front, with a caption (1) or none, until killed.
    HWND h = CreateWindowExW(0, L"STATIC", L"cover", (n(2) ? WS_CAPTION : WS_POPUP) | WS_VISIBLE, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                             nullptr, nullptr);
    SetForegroundWindow(h), emit(flag(GetForegroundWindow() == h));
    for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0;) DispatchMessageW(&m);
  }
  emit(
      "{\"usage\":\"find|kids CLASS|TITLE|*, capture X Y W H FILE, watch MS MS DIR CLASS..., "
      "refmenu X Y FILE CAPTION..., hold, cover CAPTION, monitors\"}");
  return 2;
}
