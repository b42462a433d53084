// probe: a small Win32 console tool the end-to-end tests run under Wine to
// look at the desktop from the inside, through the same API the program uses.
//
// Every command prints one JSON document on stdout (UTF-8, "\n" line ends)
// and exits 0 on success, 1 when what was asked for was not found or timed
// out, 2 on bad usage.  Window handles are printed and accepted as decimal
// numbers.  See usage() for the commands.
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
#include <shellapi.h>  // CommandLineToArgvW

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- output

std::string utf8(const wchar_t* s, int len = -1) {
  if (len == 0) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s, len, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, s, len, out.data(), n, nullptr, nullptr);
  if (len < 0 && !out.empty()) out.pop_back();  // drop the NUL
  return out;
}

std::string quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string quote(const std::wstring& s) { return quote(utf8(s.c_str(), static_cast<int>(s.size()))); }

// Written straight to the handle: the C runtime's text mode would turn ""
// into "\r\n" and its locale handling would mangle the UTF-8.
void emit(const std::string& s) {
  std::string line = s + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string num(long long v) { return std::to_string(v); }
std::string hnum(HWND h) { return num(static_cast<long long>(reinterpret_cast<UINT_PTR>(h))); }
std::string boolean(bool b) { return b ? "true" : "false"; }

// ---------------------------------------------------------------- windows

std::wstring class_of(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

// A window's caption as the window manager keeps it: needs no answer from
// the window's thread, so it works on a hung or stopped (SIGSTOP) process.
std::wstring title_of(HWND h) {
  wchar_t buf[1024] = {};
  InternalGetWindowText(h, buf, 1024);
  return buf;
}

// The text a control reports itself (an edit box keeps its own).
std::wstring text_of(HWND h) {
  // WM_GETTEXT with a timeout, so a hung window cannot hang the probe.
  wchar_t buf[1024] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 1000, &got);
  return buf;
}

std::string rect_json(const RECT& r) {
  return "{\"x\":" + num(r.left) + ",\"y\":" + num(r.top) + ",\"w\":" + num(r.right - r.left) +
         ",\"h\":" + num(r.bottom - r.top) + "}";
}

std::string window_json(HWND h) {
  RECT wr{}, cr{};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  HWND owner = GetWindow(h, GW_OWNER);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  std::string s = "{\"hwnd\":" + hnum(h);
  s += ",\"class\":" + quote(class_of(h));
  s += ",\"title\":" + quote(title_of(h));
  s += ",\"pid\":" + num(pid);
  s += ",\"visible\":" + boolean(IsWindowVisible(h));
  s += ",\"rect\":" + rect_json(wr);
  s += ",\"client\":{\"x\":" + num(origin.x) + ",\"y\":" + num(origin.y) + ",\"w\":" + num(cr.right) +
       ",\"h\":" + num(cr.bottom) + "}";
  s += ",\"popup\":" + boolean(style & WS_POPUP);
  s += ",\"caption\":" + boolean((style & WS_CAPTION) == WS_CAPTION);
  s += ",\"topmost\":" + boolean(ex & WS_EX_TOPMOST);
  s += ",\"appwindow\":" + boolean(ex & WS_EX_APPWINDOW);
  s += ",\"owner\":" + hnum(owner);
  s += ",\"owner_visible\":" + boolean(owner && IsWindowVisible(owner));
  s += ",\"foreground\":" + boolean(GetForegroundWindow() == h);
  return s + "}";
}

// Enumeration callbacks must be stdcall on i686, which a lambda is not.
BOOL CALLBACK collect(HWND h, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
  return TRUE;
}

std::vector<HWND> top_level_windows() {
  std::vector<HWND> all;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> windows_of_class(const std::wstring& cls) {
  std::vector<HWND> found;
  for (HWND h : top_level_windows())
    if (cls == L"*" || class_of(h) == cls) found.push_back(h);
  return found;
}

std::vector<HWND> windows_titled(const std::wstring& title) {
  std::vector<HWND> found;
  for (HWND h : top_level_windows())
    if (title_of(h) == title) found.push_back(h);
  return found;
}

std::string array_json(const std::vector<HWND>& hs) {
  std::string s = "[";
  for (size_t i = 0; i < hs.size(); ++i) s += std::string(i ? "," : "") + window_json(hs[i]);
  return s + "]";
}

std::string foreground_json() {
  HWND fg = GetForegroundWindow();
  return "{\"foreground\":" + (fg ? window_json(fg) : std::string("null")) + "}";
}

HWND parse_hwnd(const char* s) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(s, nullptr, 0)));
}

// Polls `find` until it returns something that passes `accept` or the
// timeout runs out.  20 ms polls keep the reaction time short compared to
// the program's 500 ms tick.
template <class Find, class Accept>
std::vector<HWND> wait_for(Find find, Accept accept, DWORD timeout_ms) {
  DWORD start = GetTickCount();
  for (;;) {
    std::vector<HWND> hs;
    for (HWND h : find())
      if (accept(h)) hs.push_back(h);
    if (!hs.empty() || GetTickCount() - start >= timeout_ms) return hs;
    Sleep(20);
  }
}

// ---------------------------------------------------------------- capture

// Copies a rectangle of the screen through GetDC(NULL) and BitBlt, the same
// path the program reads its background with, as packed RGB rows.
bool grab(int x, int y, int w, int h, std::string& rgb) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (dib && bits) {
    HGDIOBJ old = SelectObject(mem, dib);
    ok = BitBlt(mem, 0, 0, w, h, screen, x, y, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(mem, old);
  }
  if (ok) {
    const auto* px = static_cast<const unsigned char*>(bits);  // B G R x
    rgb.resize(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
      rgb[3 * i + 0] = static_cast<char>(px[4 * i + 2]);
      rgb[3 * i + 1] = static_cast<char>(px[4 * i + 1]);
      rgb[3 * i + 2] = static_cast<char>(px[4 * i + 0]);
    }
  }
  if (dib) DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool write_ppm(const std::wstring& path, int w, int h, const std::string& rgb) {
  std::string ppm = "P6\n" + num(w) + " " + num(h) + "\n255\n" + rgb;
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok =
      WriteFile(f, ppm.data(), static_cast<DWORD>(ppm.size()), &written, nullptr) && written == ppm.size();
  CloseHandle(f);
  return ok;
}

bool capture(int x, int y, int w, int h, const std::wstring& path) {
  std::string rgb;
  return grab(x, y, w, h, rgb) && write_ppm(path, w, h, rgb);
}

RECT client_on_screen(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  OffsetRect(&r, o.x, o.y);
  return r;
}

// Waits for a visible window of the class and captures its client area as
// soon as it has settled: the same picture three times in a row, 15 ms
// apart, with the window not moved in between (so a window shown a moment
// before its first paint is not taken for its picture).  Started before the program, this sees
// the very first frame, well before a 500 ms timer can change it.  Prints
// three lines: ready (watching), visible (the moment it was seen) and the
// result with the window's state and the timings in milliseconds.
int snap(const std::wstring& cls, DWORD timeout_ms, const std::wstring& path) {
  DWORD t0 = GetTickCount();
  emit("{\"ready\":true}");
  HWND h = nullptr;
  while (!h && GetTickCount() - t0 < timeout_ms) {
    for (HWND c : windows_of_class(cls))
      if (IsWindowVisible(c)) h = c;
    if (!h) Sleep(5);
  }
  if (!h) {
    emit("{\"visible\":false}");
    return 1;
  }
  DWORD t_visible = GetTickCount();
  emit("{\"visible\":true,\"after_ms\":" + num(t_visible - t0) + "}");
  std::string prev, cur;
  RECT prev_rect{};
  bool stable = false;
  int shots = 0, same = 0, pictures = 0;
  while (!stable && GetTickCount() - t_visible < 1000) {
    RECT before = client_on_screen(h);
    bool ok = grab(before.left, before.top, before.right - before.left, before.bottom - before.top, cur);
    RECT after = client_on_screen(h);
    ++shots;
    if (ok && EqualRect(&before, &after)) {
      if (!prev.empty() && cur == prev && EqualRect(&before, &prev_rect)) {
        stable = ++same >= 2;
      } else {
        same = 0;
        ++pictures;
      }
      prev.swap(cur);
      prev_rect = before;
    }
    if (!stable) Sleep(15);
  }
  DWORD t_stable = GetTickCount();
  int w = prev_rect.right - prev_rect.left, ht = prev_rect.bottom - prev_rect.top;
  bool saved = !prev.empty() && write_ppm(path, w, ht, prev);
  emit("{\"stable\":" + boolean(stable) + ",\"saved\":" + boolean(saved) + ",\"shots\":" + num(shots) +
       ",\"pictures\":" + num(pictures) + ",\"visible_ms\":" + num(t_visible - t0) +
       ",\"settled_ms\":" + num(t_stable - t_visible) + ",\"captured\":" + rect_json(prev_rect) +
       ",\"window\":" + window_json(h) + "}");
  return stable && saved ? 0 : 1;
}

// ---------------------------------------------------------------- dialogs

std::string rect_of(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return rect_json(r);
}

std::string children_json(HWND parent) {
  std::vector<HWND> kids;
  EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&kids));
  std::string s = "[";
  for (size_t i = 0; i < kids.size(); ++i) {
    HWND k = kids[i];
    s += i ? "," : "";
    s += "{\"hwnd\":" + hnum(k) + ",\"class\":" + quote(class_of(k)) + ",\"id\":" + num(GetDlgCtrlID(k)) +
         ",\"text\":" + quote(text_of(k)) + ",\"visible\":" + boolean(IsWindowVisible(k)) +
         ",\"rect\":" + rect_of(k) + "}";
  }
  return s + "]";
}

std::string dialog_json(HWND h) {
  std::string w = window_json(h);
  w.pop_back();  // reopen the object to add the children
  return w + ",\"children\":" + children_json(h) + "}";
}

// ---------------------------------------------------------------- watching

double now_ms() {
  static const double per = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 / static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) * per;
}

bool any_visible_titled(const std::wstring& title) {
  for (HWND h : windows_titled(title))
    if (IsWindowVisible(h)) return true;
  return false;
}

std::vector<std::wstring> split_classes(const std::wstring& list) {
  std::vector<std::wstring> out;
  size_t start = 0;
  for (size_t comma; (comma = list.find(L',', start)) != std::wstring::npos; start = comma + 1)
    out.push_back(list.substr(start, comma - start));
  out.push_back(list.substr(start));
  return out;
}

HWND first_of(const std::wstring& cls) {
  auto hs = windows_of_class(cls);
  return hs.empty() ? nullptr : hs[0];
}

// A sample of windows: each one's place, size and flags and, when it is on
// the screen, a copy of its client area as FILES[k] ("shot":true) if two
// copies 10 ms apart agree and no window of the list moved or changed size
// meanwhile (a copy taken while a frame is drawn, or while the other window
// moves over it, is no shot).
std::string sample_json(const std::vector<HWND>& hs, const std::vector<std::wstring>& files) {
  std::vector<RECT> before(hs.size()), after(hs.size());
  std::vector<std::string> first(hs.size()), second(hs.size());
  std::vector<bool> shown(hs.size());  // read with the places, not after the copies
  const auto rects = [&](std::vector<RECT>& rs) {
    for (size_t k = 0; k < hs.size(); ++k) {
      rs[k] = hs[k] ? client_on_screen(hs[k]) : RECT{};
      if (&rs == &before) shown[k] = hs[k] && IsWindowVisible(hs[k]);
    }
  };
  const auto grab_all = [&](std::vector<std::string>& out) {
    for (size_t k = 0; k < hs.size(); ++k) {
      const RECT& r = before[k];
      if (!shown[k] || r.right <= r.left || r.bottom <= r.top ||
          !grab(r.left, r.top, r.right - r.left, r.bottom - r.top, out[k]))
        out[k].clear();
    }
  };
  rects(before);
  grab_all(first);
  Sleep(10);
  grab_all(second);
  rects(after);
  bool still = true;
  for (size_t k = 0; k < hs.size(); ++k)
    still = still && EqualRect(&before[k], &after[k]) && shown[k] == (hs[k] && IsWindowVisible(hs[k]));
  std::string s = "[";
  for (size_t k = 0; k < hs.size(); ++k) {
    s += k ? "," : "";
    if (!hs[k]) {
      s += "{\"found\":false}";
      continue;
    }
    const RECT& r = before[k];
    const bool shot = still && !first[k].empty() && first[k] == second[k] &&
                      write_ppm(files[k], r.right - r.left, r.bottom - r.top, first[k]);
    LONG ex = GetWindowLongW(hs[k], GWL_EXSTYLE);
    s += "{\"found\":true,\"hwnd\":" + hnum(hs[k]) + ",\"x\":" + num(r.left) + ",\"y\":" + num(r.top) +
         ",\"w\":" + num(r.right - r.left) + ",\"h\":" + num(r.bottom - r.top) +
         ",\"visible\":" + boolean(shown[k]) + ",\"topmost\":" + boolean(ex & WS_EX_TOPMOST) +
         ",\"shot\":" + boolean(shot) + "}";
  }
  return s + "]";
}

// Samples the first window of each class (CLASSES: a comma-separated list)
// every INTERVAL ms for DURATION ms: one JSON line per sample, "wins" in the
// order of the list, copies as DIR\<i>-<k>.ppm.  With a TITLE each line also
// tells whether a visible window of that title exists.  The lines are
// written as they come, so a reader can act on them while the watch goes on.
int watch(const std::wstring& classes, DWORD interval, DWORD duration, const std::wstring& dir,
          const std::wstring& title) {
  const auto cls = split_classes(classes);
  emit("{\"ready\":true}");
  const double t0 = now_ms();
  for (int i = 0;; ++i) {
    const double due = t0 + static_cast<double>(i) * interval;
    if (due - t0 >= duration) break;
    double wait = due - now_ms();
    if (wait > 0) Sleep(static_cast<DWORD>(wait));
    std::string s = "{\"i\":" + num(i) + ",\"t\":" + num(static_cast<long long>(now_ms() - t0));
    if (!title.empty()) s += ",\"dialog\":" + boolean(any_visible_titled(title));
    std::vector<HWND> hs;
    std::vector<std::wstring> files;
    for (size_t k = 0; k < cls.size(); ++k) {
      hs.push_back(first_of(cls[k]));
      files.push_back(dir + L"\\" + std::to_wstring(i) + L"-" + std::to_wstring(k) + L".ppm");
    }
    emit(s + ",\"wins\":" + sample_json(hs, files) + "}");
  }
  emit("{\"done\":true}");
  return 0;
}

// Whether every window of the list exists and is topmost.
bool all_topmost(const std::vector<std::wstring>& cls) {
  for (const auto& c : cls) {
    HWND h = first_of(c);
    if (!h || !(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST)) return false;
  }
  return true;
}

// The visible windows of the list that lie over window `box`, in part.
std::string covering(HWND box, const std::vector<std::wstring>& cls) {
  RECT br{}, r{}, x{};
  GetWindowRect(box, &br);
  std::string s;
  for (HWND h : top_level_windows()) {
    if (h == box) break;  // top to bottom: the rest lie below it
    for (const auto& c : cls) {
      GetWindowRect(h, &r);
      if (class_of(h) == c && IsWindowVisible(h) && IntersectRect(&x, &br, &r) &&
          s.find(utf8(c.c_str())) == std::string::npos)
        s += std::string(s.empty() ? "" : ",") + quote(c);
    }
  }
  return s;
}

// Watches, 1 ms apart, for a visible window titled TITLE and tells whether
// the windows of CLASSES (a comma-separated list) were all topmost at the
// moment it appeared, when that changed while the titled window stayed,
// which of them lay over it at some moment, and how long after it went they
// were all topmost again (null: not within 1 s).  Prints "ready" first, so
// the caller can then do what opens the window.
int topmost_during(const std::wstring& title, const std::wstring& classes, DWORD timeout_ms) {
  const auto cls = split_classes(classes);
  emit("{\"ready\":true}");
  const double t0 = now_ms();
  HWND box = nullptr;
  while (!box) {
    if (now_ms() - t0 > timeout_ms) {
      emit("{\"appeared\":false}");
      return 1;
    }
    for (HWND h : windows_titled(title))
      if (IsWindowVisible(h)) box = h;
    Sleep(1);
  }
  const double t_open = now_ms();
  bool flag = all_topmost(cls);
  std::string s = "{\"appeared\":true,\"topmost_at_open\":" + boolean(flag) + ",\"changes\":[", over;
  int changes = 0;
  while (IsWindow(box) && IsWindowVisible(box) && now_ms() - t_open < timeout_ms) {
    bool f = all_topmost(cls);
    if (f != flag) {
      flag = f;
      s += std::string(changes++ ? "," : "") + "{\"ms\":" + num(static_cast<long long>(now_ms() - t_open)) +
           ",\"topmost\":" + boolean(f) + "}";
    }
    if (over.empty()) over = covering(box, cls);
    Sleep(1);
  }
  const double t_close = now_ms();
  const bool closed = !IsWindow(box) || !IsWindowVisible(box);
  s += "],\"covered_by\":[" + over + "],\"closed\":" + boolean(closed) +
       ",\"open_ms\":" + num(static_cast<long long>(t_close - t_open));
  long long back = -1;
  while (closed && now_ms() - t_close < 1000 && back < 0) {
    if (all_topmost(cls)) back = static_cast<long long>(now_ms() - t_close);
    Sleep(1);
  }
  s += ",\"topmost_after_close_ms\":" + (back < 0 ? std::string("null") : num(back)) + "}";
  emit(s);
  return closed ? 0 : 1;
}

// ---------------------------------------------------------------- a menu of our own

// A popup menu with the given captions ("-" is a separator), opened by this
// process the way a notification-area program opens its own, so that its size
// and picture can be compared with another program's: while it is open a
// timer captures it to FILE, reads every item's rectangle and closes it.
struct RefMenu {
  HMENU menu = nullptr;
  int items = 0;
  std::wstring file;
  std::string result = "{\"open\":false}";
  int ticks = 0;
};
RefMenu g_ref;

HWND own_popup() {
  for (HWND h : windows_of_class(L"#32768")) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

LRESULT CALLBACK ref_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    HWND pop = own_popup();
    // Two ticks with the menu up: the first may come before it is painted.
    if (pop && ++g_ref.ticks >= 2) {
      KillTimer(h, 1);
      RECT r{};
      GetWindowRect(pop, &r);
      bool saved = capture(r.left, r.top, r.right - r.left, r.bottom - r.top, g_ref.file);
      std::string s =
          "{\"open\":true,\"saved\":" + boolean(saved) + ",\"popup\":" + rect_json(r) + ",\"items\":[";
      for (int i = 0; i < g_ref.items; ++i) {
        RECT ir{};
        GetMenuItemRect(h, g_ref.menu, static_cast<UINT>(i), &ir);
        s += (i ? "," : "") + rect_json(ir);
      }
      g_ref.result = s + "]}";
      EndMenu();
    }
    return 0;
  }
  return DefWindowProcW(h, msg, wp, lp);
}

int ref_menu(int x, int y, const std::wstring& file, const std::vector<std::wstring>& captions) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ref_proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"probeMenuOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                               nullptr);
  g_ref.menu = CreatePopupMenu();
  g_ref.file = file;
  UINT id = 1;
  for (const auto& c : captions) {
    if (c == L"-")
      AppendMenuW(g_ref.menu, MF_SEPARATOR, id++, nullptr);
    else
      AppendMenuW(g_ref.menu, MF_STRING, id++, c.c_str());
    ++g_ref.items;
  }
  SetForegroundWindow(owner);
  SetTimer(owner, 1, 150, nullptr);
  TrackPopupMenu(g_ref.menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                 x, y, 0, owner, nullptr);
  emit(g_ref.result);
  DestroyMenu(g_ref.menu);
  DestroyWindow(owner);
  return g_ref.result.find("\"saved\":true") != std::string::npos ? 0 : 1;
}

int usage() {
  emit(
      "{\"error\":\"usage\",\"commands\":["
      "\"list\","
      "\"find CLASS|*\","
      "\"wait CLASS TIMEOUT_MS [visible|hidden|gone]\","
      "\"foreground\","
      "\"screen\","
      "\"capture X Y W H FILE.ppm\","
      "\"snap CLASS TIMEOUT_MS FILE.ppm\","
      "\"dialog TITLE TIMEOUT_MS\","
      "\"children CLASS\","
      "\"texts CLASS TIMEOUT_MS\","
      "\"post HWND MSG WPARAM LPARAM\","
      "\"activate HWND\","
      "\"watch CLASS[,CLASS...] INTERVAL_MS DURATION_MS DIR [TITLE]\","
      "\"topmost-during TITLE CLASS[,CLASS...] TIMEOUT_MS\","
      "\"refmenu X Y FILE.ppm CAPTION...\","
      "\"now\","
      "\"state CLASS\","
      "\"counts PID\","
      "\"hold\"]}");
  return 2;
}

long arg_long(const char* s) { return std::strtol(s, nullptr, 0); }

// The arguments as UTF-16, from the wide command line: the ANSI argv has
// been through the code page already (1252 here), which loses Japanese.
std::vector<std::wstring> g_wargs;

const std::wstring& warg(int i) {
  if (g_wargs.empty()) {
    int n = 0;
    if (LPWSTR* w = CommandLineToArgvW(GetCommandLineW(), &n)) {
      for (int k = 0; k < n; ++k) g_wargs.emplace_back(w[k]);
      LocalFree(w);
    }
  }
  static const std::wstring none;
  return i < static_cast<int>(g_wargs.size()) ? g_wargs[static_cast<size_t>(i)] : none;
}

// ---------------------------------------------------------------- state and counts

// A window of CLASS as a dialog sees it: menu bar, frame styles, the
// control with the keyboard focus, and each child in Tab order (the order
// they were created) with its place in client pixels, text, enabled flag
// and, for an edit box, the selection.
int window_state(const std::wstring& cls) {
  HWND h = first_of(cls);
  if (!h) return emit("null"), 1;
  LONG st = GetWindowLongW(h, GWL_STYLE), ex = GetWindowLongW(h, GWL_EXSTYLE);
  GUITHREADINFO gi{};
  gi.cbSize = sizeof gi;
  GetGUIThreadInfo(GetWindowThreadProcessId(h, nullptr), &gi);
  std::string s = window_json(h);
  s.pop_back();
  s += ",\"menu\":" + boolean(GetMenu(h) != nullptr) + ",\"sysmenu\":" + boolean(st & WS_SYSMENU) +
       ",\"minbox\":" + boolean(st & WS_MINIMIZEBOX) + ",\"maxbox\":" + boolean(st & WS_MAXIMIZEBOX) +
       ",\"sizing\":" + boolean(st & WS_THICKFRAME) + ",\"dlgframe\":" + boolean(ex & WS_EX_DLGMODALFRAME) +
       ",\"focus\":" + hnum(gi.hwndFocus) + ",\"children\":[";
  int i = 0;
  for (HWND k = GetWindow(h, GW_CHILD); k; k = GetWindow(k, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(k, &r);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
    DWORD a = 0, b = 0;
    SendMessageTimeoutW(k, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b),
                        SMTO_ABORTIFHUNG, 1000, nullptr);
    s += std::string(i++ ? "," : "") + "{\"hwnd\":" + hnum(k) + ",\"class\":" + quote(class_of(k)) +
         ",\"text\":" + quote(text_of(k)) + ",\"enabled\":" + boolean(IsWindowEnabled(k)) +
         ",\"visible\":" + boolean(IsWindowVisible(k)) +
         ",\"tabstop\":" + boolean(GetWindowLongW(k, GWL_STYLE) & WS_TABSTOP) + ",\"rect\":" + rect_json(r) +
         (class_of(k) == L"Edit" ? ",\"sel\":[" + num(a) + "," + num(b) + "]" : "") + "}";
  }
  emit(s + "]}");
  return 0;
}

// What a process holds, counted where Wine keeps it (its GetGuiResources
// and GetProcessHandleCount say 0): GDI objects in the process's own handle
// table (the PEB's GdiSharedHandleTable, entries with a type), windows
// (top-level, their descendants, message-only), and kernel handles in the
// server's list (NtQuerySystemInformation SystemHandleInformation).
BOOL CALLBACK count_one(HWND, LPARAM p) {
  ++*reinterpret_cast<int*>(p);
  return TRUE;
}

int process_counts(DWORD pid) {
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!p) return emit("{\"error\":\"OpenProcess\"}"), 1;
  using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
  HMODULE nt = GetModuleHandleW(L"ntdll.dll");
  auto qp = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(nt, "NtQueryInformationProcess")));
  auto qs =
      reinterpret_cast<QuerySystem>(reinterpret_cast<void*>(GetProcAddress(nt, "NtQuerySystemInformation")));
  struct {
    LONG status;
    void* peb;
    ULONG_PTR rest[4];
  } basic{};
  long long gdi = -1, kernel = -1;
  std::map<int, int> gdiTypes;  // by the entry's type byte, to tell what grew
  // The probe is built as wide as the program it looks at, so its own
  // layout of the PEB is the program's.
  constexpr std::size_t kPebGdiTable = sizeof(void*) == 8 ? 0xF8 : 0x94;
  void* table = nullptr;
  SIZE_T got = 0;
  if (qp(p, 0, &basic, sizeof basic, nullptr) == 0 &&
      ReadProcessMemory(p, static_cast<char*>(basic.peb) + kPebGdiTable, &table, sizeof table, &got) && table) {
    struct Entry {  // GDI_HANDLE_ENTRY, 24 bytes for 32 and 64 bits alike
      unsigned long long object;
      ULONG owner;
      USHORT unique;
      UCHAR type, flags;
      unsigned long long user;
    };
    std::vector<Entry> e(0x10000);
    if (ReadProcessMemory(p, table, e.data(), e.size() * sizeof(Entry), &got)) {
      gdi = 0;
      for (const Entry& x : e)
        if (x.type) ++gdi, ++gdiTypes[x.type];
    }
  }
  std::vector<char> buf(1 << 20);
  ULONG need = 0;
  LONG st;
  while ((st = qs(16, buf.data(), static_cast<ULONG>(buf.size()), &need)) == static_cast<LONG>(0xC0000004))
    buf.resize(buf.size() * 2);
  if (st == 0) {
    struct Handle {
      ULONG pid;
      UCHAR type, flags;
      USHORT value;
      void* object;
      ULONG access;
    };
    ULONG n = *reinterpret_cast<ULONG*>(buf.data());
    const auto* hs = reinterpret_cast<const Handle*>(buf.data() + sizeof(ULONG_PTR));
    kernel = 0;
    for (ULONG i = 0; i < n; ++i) kernel += hs[i].pid == pid;
  }
  int windows = 0;
  for (HWND h : top_level_windows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) windows += 1, EnumChildWindows(h, count_one, reinterpret_cast<LPARAM>(&windows));
  }
  for (HWND h = nullptr; (h = FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    windows += owner == pid;
  }
  std::string types;
  for (auto [type, n] : gdiTypes) types += (types.empty() ? "\"" : ",\"") + num(type) + "\":" + num(n);
  emit("{\"gdi\":" + num(gdi) + ",\"gdi_types\":{" + types + "},\"windows\":" + num(windows) +
       ",\"kernel\":" + num(kernel) + ",\"gui_resources\":" + num(GetGuiResources(p, GR_GDIOBJECTS)) + "}");
  CloseHandle(p);
  return gdi >= 0 && kernel >= 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage();
  const std::string cmd = argv[1];
  if (cmd == "state" && argc == 3) return window_state(warg(2));
  if (cmd == "counts" && argc == 3) return process_counts(static_cast<DWORD>(arg_long(argv[2])));

  if (cmd == "list" && argc == 2) {
    emit(array_json(top_level_windows()));
    return 0;
  }
  if (cmd == "find" && argc == 3) {
    auto hs = windows_of_class(warg(2));
    emit(array_json(hs));
    return hs.empty() ? 1 : 0;
  }
  if (cmd == "wait" && (argc == 4 || argc == 5)) {
    // "gone" waits until no window of the class is left; the others wait
    // for one that exists (and is visible or hidden, if asked).
    std::wstring cls = warg(2);
    DWORD timeout = static_cast<DWORD>(arg_long(argv[3]));
    std::string want = argc == 5 ? argv[4] : "";
    if (want == "gone") {
      DWORD start = GetTickCount();
      while (!windows_of_class(cls).empty() && GetTickCount() - start < timeout) Sleep(20);
      auto left = windows_of_class(cls);
      emit(array_json(left));
      return left.empty() ? 0 : 1;
    }
    auto hs = wait_for([&] { return windows_of_class(cls); },
                       [&](HWND h) {
                         if (want == "visible") return IsWindowVisible(h) != FALSE;
                         if (want == "hidden") return IsWindowVisible(h) == FALSE;
                         return true;
                       },
                       timeout);
    emit(array_json(hs));
    return hs.empty() ? 1 : 0;
  }
  if (cmd == "foreground" && argc == 2) {
    emit(foreground_json());
    return 0;
  }
  if (cmd == "screen" && argc == 2) {
    HDC dc = GetDC(nullptr);
    emit("{\"w\":" + num(GetSystemMetrics(SM_CXSCREEN)) + ",\"h\":" + num(GetSystemMetrics(SM_CYSCREEN)) +
         ",\"dpi_x\":" + num(GetDeviceCaps(dc, LOGPIXELSX)) +
         ",\"dpi_y\":" + num(GetDeviceCaps(dc, LOGPIXELSY)) +
         ",\"bpp\":" + num(GetDeviceCaps(dc, BITSPIXEL)) + ",\"acp\":" + num(GetACP()) + "}");
    ReleaseDC(nullptr, dc);
    return 0;
  }
  if (cmd == "capture" && argc == 7) {
    int w = arg_long(argv[4]), h = arg_long(argv[5]);
    if (w <= 0 || h <= 0) return usage();
    bool ok = capture(arg_long(argv[2]), arg_long(argv[3]), w, h, warg(6));
    emit("{\"ok\":" + boolean(ok) + "}");
    return ok ? 0 : 1;
  }
  if (cmd == "snap" && argc == 5) return snap(warg(2), static_cast<DWORD>(arg_long(argv[3])), warg(4));
  if (cmd == "dialog" && argc == 4) {
    std::wstring title = warg(2);
    auto hs =
        wait_for([&] { return windows_titled(title); }, [](HWND h) { return IsWindowVisible(h) != FALSE; },
                 static_cast<DWORD>(arg_long(argv[3])));
    std::string s = "[";
    for (size_t i = 0; i < hs.size(); ++i) s += (i ? "," : "") + dialog_json(hs[i]);
    emit(s + "]");
    return hs.empty() ? 1 : 0;
  }
  if (cmd == "children" && argc == 3) {
    // Every window of the class with its child windows; the Wine
    // desktop's taskbar (Shell_TrayWnd) keeps its task buttons as such.
    auto hs = windows_of_class(warg(2));
    std::string s = "[";
    for (size_t i = 0; i < hs.size(); ++i) s += (i ? "," : "") + dialog_json(hs[i]);
    emit(s + "]");
    return hs.empty() ? 1 : 0;
  }
  if (cmd == "post" && argc == 6) {
    bool ok = PostMessageW(parse_hwnd(argv[2]), static_cast<UINT>(std::strtoul(argv[3], nullptr, 0)),
                           static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)),
                           static_cast<LPARAM>(std::strtol(argv[5], nullptr, 0))) != 0;
    emit("{\"ok\":" + boolean(ok) + "}");
    return ok ? 0 : 1;
  }
  if (cmd == "texts" && argc == 4) {
    // Visible windows of the class with a text of their own (WM_GETTEXT):
    // a tooltip control answers with the tip it shows.
    std::wstring cls = warg(2);
    auto hs = wait_for([&] { return windows_of_class(cls); },
                       [](HWND h) { return IsWindowVisible(h) && !text_of(h).empty(); },
                       static_cast<DWORD>(arg_long(argv[3])));
    std::string s = "[";
    for (size_t i = 0; i < hs.size(); ++i) {
      DWORD pid = 0;
      GetWindowThreadProcessId(hs[i], &pid);
      s += (i ? "," : "") + std::string("{\"pid\":") + num(pid) + ",\"text\":" + quote(text_of(hs[i])) +
           ",\"rect\":" + rect_of(hs[i]) + "}";
    }
    emit(s + "]");
    return hs.empty() ? 1 : 0;
  }
  if (cmd == "activate" && argc == 3) {
    // Wine lets any process hand the foreground on.  (The usual Windows
    // trick of tapping Alt first is no good here: it leaves the target in
    // menu mode, which eats the next click.)
    bool ok = SetForegroundWindow(parse_hwnd(argv[2])) != 0;
    emit("{\"ok\":" + boolean(ok) + "}");
    return ok ? 0 : 1;
  }
  if (cmd == "watch" && (argc == 6 || argc == 7))
    return watch(warg(2), static_cast<DWORD>(arg_long(argv[3])), static_cast<DWORD>(arg_long(argv[4])),
                 warg(5), argc == 7 ? warg(6) : std::wstring());
  if (cmd == "topmost-during" && argc == 5)
    return topmost_during(warg(2), warg(3), static_cast<DWORD>(arg_long(argv[4])));
  if (cmd == "refmenu" && argc >= 6) {
    std::vector<std::wstring> captions;
    for (int i = 5; i < argc; ++i) captions.push_back(warg(i));
    return ref_menu(arg_long(argv[2]), arg_long(argv[3]), warg(4), captions);
  }
  if (cmd == "now" && argc == 2) {
    // The local clock as Wine keeps it; wDayOfWeek counts from Sunday = 0.
    SYSTEMTIME t{};
    GetLocalTime(&t);
    emit("{\"year\":" + num(t.wYear) + ",\"month\":" + num(t.wMonth) + ",\"day\":" + num(t.wDay) +
         ",\"weekday\":" + num(t.wDayOfWeek) + ",\"hour\":" + num(t.wHour) + ",\"minute\":" + num(t.wMinute) +
         ",\"second\":" + num(t.wSecond) + "}");
    return 0;
  }
  if (cmd == "hold" && argc == 2) {
    // Wine closes a virtual desktop (and its taskbar) a moment after the
    // last program using it has ended; a process that sits on the
    // desktop keeps it, and its X window, alive between the tests.
    top_level_windows();  // attaches this process to the desktop
    emit("{\"holding\":true}");
    Sleep(INFINITE);
  }
  return usage();
}
