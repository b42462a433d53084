// The real platform: objects, event processing and the Win32 calls.
#include <cstdlib>
#include <string>
#include "platform/win32/win32_platform.h"

#include "platform/win32/win32.h"

#include <algorithm>
#include <cwchar>

#include "platform/common/picture.h"
#include "platform/win32/dib_surface.h"
#include "platform/win32/display.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/session.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_timer.h"
#include "platform/win32/win32_window.h"

namespace platform::win32 {

namespace {

// Settings are kept per user under this key, one subkey per application
// and section: the elopement rate is the value kakeochiper of
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\xpekko\setting.
const wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings\\";

std::wstring settingsKey(const std::string& app, const std::string& section) {
  return kSettingsRoot + widen(app) + L"\\" + widen(section);
}

// A directory call's result as UTF-8 into a caller's byte buffer.
std::uint32_t copyDirectory(UINT(WINAPI* call)(LPWSTR, UINT), char* buffer, std::uint32_t size) {
  wchar_t wide[MAX_PATH + 1];
  const UINT n = call(wide, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH || !buffer) return 0;
  const std::string utf8 = narrow(std::wstring_view(wide, n));
  if (utf8.empty() || utf8.size() + 1 > size) return 0;
  std::copy(utf8.begin(), utf8.end(), buffer);
  buffer[utf8.size()] = '\0';
  return static_cast<std::uint32_t>(utf8.size());
}

}  // namespace

Win32Platform::Win32Platform() {
  // A program that failed to start, or a missing drive, must never put up a
  // system error box: every failure here is silent.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  session_ = std::make_unique<Session>();
}

Win32Platform::~Win32Platform() = default;

int Win32Platform::run() { return session_->pump.run(); }

std::size_t Win32Platform::screenDCsHeld() const { return session_->captures.screenDCsHeld(); }

// --- objects --------------------------------------------------------------

std::unique_ptr<Window> Win32Platform::createWindow(const WindowDesign& design) {
  return std::make_unique<Win32Window>(*session_, design);
}

// Surfaces, pictures and every bitmap call are in the screen's pixels: a
// pixel of the program is s x s of them. A sheet is scaled once, here.
std::unique_ptr<Surface> Win32Platform::createSurface(int width, int height) {
  return std::make_unique<DibSurface>(width * pixelScale(), height * pixelScale(), 0x00FFFFFF,
                                      &session_->surfaces);
}

std::unique_ptr<Surface> Win32Platform::loadPicture(Picture picture) {
  int id = XPEKKO_RPIC1;
  if (picture == Picture::rPic2) id = XPEKKO_RPIC2;
  if (picture == Picture::rPic3) id = XPEKKO_RPIC3;
  Bitmap bmp;
  HMODULE self = GetModuleHandleW(nullptr);
  if (HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */)) {
    HGLOBAL data = LoadResource(self, res);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (bytes) bmp = decodePicture(static_cast<const std::uint8_t*>(bytes), SizeofResource(self, res));
  }
  return std::make_unique<DibSurface>(scaledBy(bmp, pixelScale()), &session_->surfaces);
}

std::unique_ptr<Timer> Win32Platform::createTimer(int intervalMs, bool enabled) {
  return std::make_unique<Win32Timer>(session_->host, intervalMs, enabled);
}

// --- event processing -----------------------------------------------------

void Win32Platform::doEvents() { session_->pump.pumpSettled(); }

void Win32Platform::doEventsPaced(int passes, int totalMs) { session_->pump.pumpPaced(passes, totalMs); }

void Win32Platform::end() { ExitProcess(0); }

// --- the user -------------------------------------------------------------

int Win32Platform::messageBox(const std::string& text, const std::string& title, int style) {
  session_->captures.applyHeldGeometry();
  // The boxes belong to no window (the character windows never take the
  // focus and must not be disabled); MB_SETFOREGROUND brings the box to the
  // front and MB_TOPMOST keeps it above the topmost band, which the
  // character windows leave around their own boxes anyway.
  const UINT flags = static_cast<UINT>(style) | MB_SETFOREGROUND | MB_TOPMOST;
  // The characters' tips stay off while a box is open. A tip is topmost
  // and would cover the box; and with the pointer left resting on a
  // character, where the click that opened his box was, the tip came up
  // under the open box, and each box so kept a few KB of the process's
  // memory under Wine, never given back.
  if (boxesOpen_++ == 0) session_->captures.activateTips(false);
  const int answer = MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), flags);
  if (--boxesOpen_ == 0) session_->captures.activateTips(true);
  return answer;
}

ScreenMetrics Win32Platform::screen() const { return screenMetrics(); }

std::vector<Monitor> Win32Platform::monitors() const { return win32::monitors(); }

bool Win32Platform::screenTaken(Handle hWnd) { return win32::screenTaken(fromHandle<HWND>(hWnd)); }

bool Win32Platform::anyScreenTaken(float left, float top, float right, float bottom) {
  return win32::anyScreenTaken(screenRect(left, top, right, bottom));
}

std::string Win32Platform::getSetting(const std::string& app, const std::string& section,
                                      const std::string& key, const std::string& fallback) {
  HKEY hkey = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &hkey) !=
      ERROR_SUCCESS)
    return fallback;
  const std::wstring name = widen(key);
  std::string result = fallback;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(hkey, name.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(hkey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &got) ==
        ERROR_SUCCESS) {
      value.resize(std::min<std::size_t>(got / sizeof(wchar_t), value.size()));
      // The stored string may or may not carry its terminating NUL.
      const std::size_t nul = value.find(L'\0');
      if (nul != std::wstring::npos) value.resize(nul);
      result = narrow(value);
    }
  }
  RegCloseKey(hkey);
  return result;
}

void Win32Platform::saveSetting(const std::string& app, const std::string& section, const std::string& key,
                                const std::string& value) {
  HKEY hkey = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &hkey, nullptr) != ERROR_SUCCESS)
    return;
  const std::wstring v = widen(value);
  RegSetValueExW(hkey, widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                 static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(hkey);
}

bool Win32Platform::shell(const std::string& commandLine, int showMode) {
  session_->captures.applyHeldGeometry();
  std::wstring cmd = widen(commandLine);
  if (cmd.empty()) return false;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = static_cast<WORD>(showMode);
  PROCESS_INFORMATION pi{};
  // CreateProcess may write into the command line, hence the own copy.
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// Seeded from the clock. The end-to-end tests, and a recording meant to show
// a visit, fix the seed through XPEKKO_RANDOM_SEED (a decimal number) so
// that the program takes a known course; a normal start never sets it.
void Win32Platform::randomize() {
  wchar_t fixed[16] = L"";
  const DWORD n = GetEnvironmentVariableW(L"XPEKKO_RANDOM_SEED", fixed, 16);
  wchar_t* end = nullptr;
  const unsigned long seed = n > 0 && n < 16 ? std::wcstoul(fixed, &end, 10) : 0;
  if (end && end != fixed && *end == L'\0') {
    random_.seed(static_cast<std::uint32_t>(seed));
    return;
  }
  LARGE_INTEGER c{};
  QueryPerformanceCounter(&c);
  random_.seed(static_cast<std::uint32_t>(c.LowPart ^ static_cast<DWORD>(c.HighPart) ^ GetTickCount()));
}

double Win32Platform::rnd() { return random_.next(); }

DateTime Win32Platform::now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  DateTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.weekday = st.wDayOfWeek + 1;  // the system counts Sunday as 0
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  return t;
}

// --- Win32 calls ----------------------------------------------------------

Handle Win32Platform::GetDC(Handle hWnd) {
  HDC dc = ::GetDC(fromHandle<HWND>(hWnd));
  if (hWnd == 0 && dc) session_->captures.screenTaken(dc);
  return toHandle(dc);
}

int Win32Platform::ReleaseDC(Handle hWnd, Handle hDC) {
  // The end of a drawing: what it left held is seen now at the latest.
  session_->captures.applyHeldGeometry();
  if (hWnd == 0) session_->captures.screenReleased(fromHandle<HDC>(hDC));
  return ::ReleaseDC(fromHandle<HWND>(hWnd), fromHandle<HDC>(hDC));
}

bool Win32Platform::BitBlt(Handle dst, int x, int y, int w, int h, Handle src, int sx, int sy,
                           std::uint32_t rop) {
  const int s = pixelScale();
  return session_->captures.copy(fromHandle<HDC>(dst), x * s, y * s, w * s, h * s, fromHandle<HDC>(src),
                                 sx * s, sy * s, rop);
}

bool Win32Platform::SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy,
                                 std::uint32_t flags) {
  // A character window's held place and size go with a change of band
  // alone in the same call; before any other change they are given first.
  HWND hwnd = fromHandle<HWND>(hWnd);
  if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE)) {
    if (Win32Window* win = session_->captures.character(hwnd))
      if (win->applyGeometry(fromHandle<HWND>(insertAfter), flags)) return true;
  }
  session_->captures.applyHeldGeometry();
  // Whatever the caller passes, no window of this program is activated by a
  // change of place or of band.
  const int s = pixelScale();
  return ::SetWindowPos(fromHandle<HWND>(hWnd), fromHandle<HWND>(insertAfter), x * s, y * s, cx * s, cy * s,
                        flags | SWP_NOACTIVATE) != FALSE;
}

bool Win32Platform::ReleaseCapture() { return ::ReleaseCapture() != FALSE; }

std::int32_t Win32Platform::SendMessage(Handle hWnd, std::uint32_t msg, std::uint32_t wParam,
                                        std::int32_t lParam) {
  session_->captures.applyHeldGeometry();
  return static_cast<std::int32_t>(SendMessageW(fromHandle<HWND>(hWnd), msg, wParam, lParam));
}

bool Win32Platform::Shell_NotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
  nid.hWnd = fromHandle<HWND>(data.hWnd);
  nid.uID = data.uID;
  nid.uFlags = data.uFlags;
  nid.uCallbackMessage = data.uCallbackMessage == WM_MOUSEMOVE ? kTrayCallback : data.uCallbackMessage;
  nid.hIcon = fromHandle<HICON>(data.hIcon);
  static_assert(sizeof(nid.szTip) / sizeof(nid.szTip[0]) >= kTipLength);
  const std::size_t n = std::min(data.szTip.size(), kTipLength);
  for (std::size_t i = 0; i < n; ++i) nid.szTip[i] = static_cast<wchar_t>(data.szTip[i]);
  nid.szTip[kTipLength - 1] = L'\0';  // a full field still has to end
  return Shell_NotifyIconW(message, &nid) != FALSE;
}

std::uint32_t Win32Platform::GetWindowsDirectory(char* buffer, std::uint32_t size) {
  return copyDirectory(GetWindowsDirectoryW, buffer, size);
}

std::uint32_t Win32Platform::GetSystemDirectory(char* buffer, std::uint32_t size) {
  return copyDirectory(GetSystemDirectoryW, buffer, size);
}

void Win32Platform::GlobalMemoryStatusEx(MemoryStatusEx& status) {
  MEMORYSTATUSEX ms{};
  ms.dwLength = sizeof(ms);
  status = {};
  if (!::GlobalMemoryStatusEx(&ms)) return;
  status.ullTotalPhys = ms.ullTotalPhys;
  status.ullAvailPhys = ms.ullAvailPhys;
  status.ullTotalPageFile = ms.ullTotalPageFile;
  status.ullAvailPageFile = ms.ullAvailPageFile;
}

}  // namespace platform::win32
