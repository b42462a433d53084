// The simulated desktop: composition, bitmap copies, the virtual clock, the
// event queue and the records of what the program asked of the system.
#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/common/picture.h"
#include "platform/monitors.h"
#include "platform/twips.h"

#ifndef XPEKKO_RESOURCE_DIR
#error "XPEKKO_RESOURCE_DIR must name the directory holding the sheets"
#endif

namespace platform::sim {

SimDesktop::SimDesktop(int widthPixels, int heightPixels, float twipsPerPixel, float twipsPerPixelY)
    : displays{{0, 0, widthPixels, heightPixels, true}}, desktop_(widthPixels, heightPixels, 0x3A6EA5) {
  metrics_.twipsPerPixelX = twipsPerPixel;
  metrics_.twipsPerPixelY = twipsPerPixelY > 0 ? twipsPerPixelY : twipsPerPixel;
  metrics_.width = static_cast<float>(widthPixels) * metrics_.twipsPerPixelX;
  metrics_.height = static_cast<float>(heightPixels) * metrics_.twipsPerPixelY;
  registerDC(kScreenDC, &desktop_);
}

SimDesktop::~SimDesktop() = default;

void SimDesktop::changeDisplay(int widthPixels, int heightPixels) {
  setMonitors({{0, 0, widthPixels, heightPixels, true}});
}

void SimDesktop::setMonitors(std::vector<SimMonitor> list) {
  if (list.empty()) return;
  if (std::none_of(list.begin(), list.end(), [](const SimMonitor& m) { return m.primary; }))
    list[0].primary = true;
  int x0 = list[0].x, y0 = list[0].y, x1 = x0, y1 = y0;
  for (const SimMonitor& m : list) {
    x0 = std::min(x0, m.x), y0 = std::min(y0, m.y);
    x1 = std::max(x1, m.x + m.width), y1 = std::max(y1, m.y + m.height);
  }
  Bitmap grown(x1 - x0, y1 - y0, desktop_.pixels.empty() ? 0 : desktop_.at(0, 0));
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (x >= originX_ && y >= originY_ && x < originX_ + desktop_.width && y < originY_ + desktop_.height)
        grown.at(x - x0, y - y0) = desktop_.at(x - originX_, y - originY_);
  desktop_ = std::move(grown);
  originX_ = x0, originY_ = y0;
  displays = std::move(list);
  for (const SimMonitor& m : displays)
    if (m.primary) {
      metrics_.width = static_cast<float>(m.width) * metrics_.twipsPerPixelX;
      metrics_.height = static_cast<float>(m.height) * metrics_.twipsPerPixelY;
    }
  for (SimWindow* w : z_)
    post([this, h = w->hWnd()] {
      if (SimWindow* win = window(h); win && win->onDisplayChange) win->onDisplayChange();
    });
}

std::vector<Monitor> SimDesktop::monitors() const {
  std::vector<Monitor> out;
  const float tx = metrics_.twipsPerPixelX, ty = metrics_.twipsPerPixelY;
  for (const SimMonitor& m : displays)
    out.push_back({static_cast<float>(m.x) * tx, static_cast<float>(m.y) * ty,
                   static_cast<float>(m.x + m.width) * tx, static_cast<float>(m.y + m.height) * ty,
                   m.primary});
  return out;
}

bool SimDesktop::onMonitor(int x, int y) const {
  return std::any_of(displays.begin(), displays.end(), [&](const SimMonitor& m) {
    return m.x <= x && x < m.x + m.width && m.y <= y && y < m.y + m.height;
  });
}

// His monitor holds the centre of his window, or is the nearest.
bool SimDesktop::screenTaken(Handle hWnd) {
  ++screenChecks;
  const SimWindow* w = window(hWnd);
  if (taken || !w) return taken;
  const std::vector<Monitor> all = monitors();  // in the order of `displays`
  const Monitor& his = monitorAt(all, w->left() + w->width() / 2, w->top() + w->height() / 2);
  return displays[static_cast<std::size_t>(&his - all.data())].taken;
}

bool SimDesktop::anyScreenTaken(float left, float top, float right, float bottom) {
  const float tx = metrics_.twipsPerPixelX, ty = metrics_.twipsPerPixelY;
  return taken || std::any_of(displays.begin(), displays.end(), [&](const SimMonitor& m) {
           return m.taken && m.x * tx < right && left < (m.x + m.width) * tx && m.y * ty < bottom &&
                  top < (m.y + m.height) * ty;
         });
}

std::unique_ptr<Window> SimDesktop::createWindow(const WindowDesign& design) {
  return std::make_unique<SimWindow>(*this, design);
}

std::unique_ptr<Surface> SimDesktop::createSurface(int width, int height) {
  return std::make_unique<SimSurface>(*this, Bitmap(width, height, 0xFFFFFF));
}

Bitmap SimDesktop::picture(Picture which) {
  static const char* const names[] = {"rPic1.gif", "rPic2.gif", "rPic3.gif"};
  const std::string path = std::string(XPEKKO_RESOURCE_DIR) + "/" + names[static_cast<int>(which)];
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  return decodePicture(bytes.data(), bytes.size());
}

std::unique_ptr<Surface> SimDesktop::loadPicture(Picture which) {
  return std::make_unique<SimSurface>(*this, picture(which));
}

std::unique_ptr<Timer> SimDesktop::createTimer(int intervalMs, bool enabled) {
  return std::make_unique<SimTimer>(*this, intervalMs, enabled);
}

// ---- windows ----

void SimDesktop::addWindow(SimWindow* w) { z_.push_back(w); }

void SimDesktop::removeWindow(SimWindow* w) {
  z_.erase(std::remove(z_.begin(), z_.end(), w), z_.end());
  if (foreground_ == w->hWnd()) foreground_ = 0;
}

void SimDesktop::removeTimer(SimTimer* t) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

void SimDesktop::raise(SimWindow* w) {
  z_.erase(std::remove(z_.begin(), z_.end(), w), z_.end());
  z_.push_back(w);
}

SimWindow* SimDesktop::window(Handle hWnd) const {
  for (SimWindow* w : z_)
    if (w->hWnd() == hWnd) return w;
  return nullptr;
}

std::vector<SimWindow*> SimDesktop::stacking() const {
  std::vector<SimWindow*> order;
  for (SimWindow* w : z_)
    if (!w->topmost) order.push_back(w);
  for (SimWindow* w : z_)
    if (w->topmost) order.push_back(w);
  return order;
}

std::unique_ptr<SimWindow> SimDesktop::openApplicationWindow(int x, int y, int w, int h,
                                                             std::uint32_t colour) {
  const float t = metrics_.twipsPerPixelX;
  auto win =
      std::make_unique<SimWindow>(*this, WindowDesign{"application", "", WindowKind::Dialog, w * t, h * t});
  win->setLeft(x * t);
  win->setTop(y * metrics_.twipsPerPixelY);
  std::fill(win->back.pixels.begin(), win->back.pixels.end(), colour);
  win->show();
  return win;
}

// ---- the screen ----

void SimDesktop::fillDesktop(std::uint32_t colour) {
  std::fill(desktop_.pixels.begin(), desktop_.pixels.end(), colour);
}

void SimDesktop::setDesktop(const Bitmap& picture) {  // in the bounding box's size
  if (picture.width == desktop_.width && picture.height == desktop_.height) desktop_.pixels = picture.pixels;
}

Bitmap SimDesktop::capture(int x0, int y0, int w, int h) const {
  Bitmap out(w, h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (onMonitor(x0 + x, y0 + y)) out.at(x, y) = desktop_.at(x0 + x - originX_, y0 + y - originY_);
  for (SimWindow* win : stacking()) {
    if (!win->visible()) continue;
    const int ww = std::min(win->pixelWidth(), win->back.width);
    const int wh = std::min(win->pixelHeight(), win->back.height);
    for (int y = 0; y < wh; ++y)
      for (int x = 0; x < ww; ++x) {
        const int sx = win->pixelX() + x, sy = win->pixelY() + y;
        const int ox = sx - x0, oy = sy - y0;
        // Only what lies on a monitor is seen.
        if (ox >= 0 && oy >= 0 && ox < w && oy < h && onMonitor(sx, sy)) out.at(ox, oy) = win->back.at(x, y);
      }
  }
  return out;
}

// ---- Win32 calls ----

bool SimDesktop::alive() {
  if (ended_) ++callsAfterEnd;
  return !ended_;
}

Handle SimDesktop::GetDC(Handle hWnd) {
  if (!alive()) return 0;
  if (hWnd == 0) {
    ++heldScreenDCs_;
    ++screenDCsObtained;
    return kScreenDC;
  }
  SimWindow* w = window(hWnd);
  return w ? w->hDC() : 0;
}

int SimDesktop::ReleaseDC(Handle hWnd, Handle hDC) {
  if (!alive()) return 0;
  if (hWnd == 0) ++screenDCsReleased;
  if (hWnd == 0 && hDC == kScreenDC && heldScreenDCs_ > 0) {
    --heldScreenDCs_;
    return 1;
  }
  return 0;
}

// The raster operations the program uses, on 0x00RRGGBB pixels: copy, the
// mask's erase (source AND NOT destination) and the image's XOR.
static std::uint32_t raster(std::uint32_t rop, std::uint32_t s, std::uint32_t d) {
  return rop == SRCCOPY ? s : rop == SRCERASE ? s & ~d & 0xFFFFFF : (s ^ d) & 0xFFFFFF;
}

bool SimDesktop::BitBlt(Handle dst, int x, int y, int w, int h, Handle src, int sx, int sy,
                        std::uint32_t rop) {
  if (!alive()) return false;
  auto d = dcs_.find(dst);
  // Any other operation is refused, so that a program that came to use one
  // would fail its tests rather than be drawn by guesswork.
  if (rop != SRCCOPY && rop != SRCERASE && rop != SRCINVERT) return false;
  if (d == dcs_.end() || w <= 0 || h <= 0) return false;
  // Read the whole source first, so that overlapping copies behave.
  Bitmap source(w, h, 0);
  if (src == kScreenDC) {
    source = capture(sx, sy, w, h);
  } else if (auto s = dcs_.find(src); s != dcs_.end()) {
    const Bitmap& b = *s->second;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int px = sx + i, py = sy + j;
        if (px >= 0 && py >= 0 && px < b.width && py < b.height) source.at(i, j) = b.at(px, py);
      }
  }
  Bitmap& out = *d->second;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const int px = x + i, py = y + j;
      if (px < 0 || py < 0 || px >= out.width || py >= out.height) continue;
      out.at(px, py) = raster(rop, source.at(i, j), out.at(px, py));
    }
  return true;
}

bool SimDesktop::SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) {
  if (!alive()) return false;
  SimWindow* w = window(hWnd);
  setWindowPosCalls.push_back({hWnd, insertAfter, flags, w ? w->pixelX() : 0});
  if (!w) return false;
  if (!(flags & SWP_NOMOVE)) w->moveToPixels(x, y);
  if (!(flags & SWP_NOSIZE)) {
    w->setWidth(static_cast<float>(cx) * metrics_.twipsPerPixelX);
    w->setHeight(static_cast<float>(cy) * metrics_.twipsPerPixelY);
  }
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST) w->topmost = true;
    if (insertAfter == HWND_NOTOPMOST) w->topmost = false;
    raise(w);
  }
  if (!(flags & SWP_NOACTIVATE)) activate(hWnd);
  return true;
}

bool SimDesktop::ReleaseCapture() {
  ++releaseCaptures;
  return true;
}

std::int32_t SimDesktop::SendMessage(Handle hWnd, std::uint32_t msg, std::uint32_t wParam,
                                     std::int32_t lParam) {
  sentMessages.push_back({hWnd, msg, wParam, lParam});
  if (msg != WM_NCLBUTTONDOWN || wParam != HTCAPTION) return 0;
  // The system's move loop: it follows the mouse until the button is
  // released, letting timers and other events run meanwhile.
  auto it = std::find_if(drags_.begin(), drags_.end(), [&](const PendingDrag& p) { return p.hWnd == hWnd; });
  if (it == drags_.end()) return 0;  // the button is already up: nothing to follow
  const PendingDrag drag = *it;
  drags_.erase(it);
  runUntil(clock_ + drag.ms);
  if (SimWindow* w = window(hWnd)) w->moveToPixels(drag.pressX + drag.dx, drag.pressY + drag.dy);
  return 0;
}

bool SimDesktop::Shell_NotifyIcon(std::uint32_t message, const NotifyIconData& data) {
  if (!alive()) return false;
  const auto key = std::make_pair(data.hWnd, data.uID);
  switch (message) {
    case NIM_ADD: return trayIcons.emplace(key, data).second;
    case NIM_DELETE: return trayIcons.erase(key) > 0;
    default: return false;
  }
}

std::uint32_t SimDesktop::directoryCall(const std::string& dir, char* buffer, std::uint32_t size) const {
  // Like the real call: a buffer too small receives nothing and the answer
  // is the size needed.
  if (dir.size() + 1 > size) return static_cast<std::uint32_t>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<std::uint32_t>(dir.size());
}

std::uint32_t SimDesktop::GetWindowsDirectory(char* buffer, std::uint32_t size) {
  return directoryCall(windowsDirectory, buffer, size);
}

std::uint32_t SimDesktop::GetSystemDirectory(char* buffer, std::uint32_t size) {
  return directoryCall(systemDirectory, buffer, size);
}

void SimDesktop::GlobalMemoryStatusEx(MemoryStatusEx& status) { status = memory; }

// ---- settings, programs, random ----

std::string SimDesktop::getSetting(const std::string& app, const std::string& section, const std::string& key,
                                   const std::string& fallback) {
  const auto it = settings.find(app + "\\" + section + "\\" + key);
  return it == settings.end() ? fallback : it->second;
}

void SimDesktop::saveSetting(const std::string& app, const std::string& section, const std::string& key,
                             const std::string& value) {
  if (!alive()) return;
  settings[app + "\\" + section + "\\" + key] = value;
  ++settingWrites;
}

bool SimDesktop::shell(const std::string& commandLine, int showMode) {
  if (!alive()) return false;
  bool exists = false;
  for (const std::string& p : programs)
    if (commandLine.compare(0, p.size(), p) == 0 &&
        (commandLine.size() == p.size() || commandLine[p.size()] == ' '))
      exists = true;
  shells.push_back({commandLine, showMode, exists});
  return exists;
}

double SimDesktop::rnd() {
  ++randomNumbersDrawn;
  if (scriptedRandom.empty()) return random_.next();
  const double r = scriptedRandom.front();
  scriptedRandom.pop_front();
  return r;
}

void SimDesktop::randomize() { random_.seed(randomSeed); }

// ---- events and time ----

void SimDesktop::post(std::function<void()> event) {
  if (!ended_) posted_.push_back(std::move(event));
}

void SimDesktop::runPostedEvents() {
  // One pass runs what was queued when it began; what those events queue
  // waits for the next pass. A pass nested in one of them runs the rest.
  for (std::size_t n = posted_.size(); n > 0 && !posted_.empty() && !ended_; --n) {
    std::function<void()> e = std::move(posted_.front());
    posted_.pop_front();
    e();
  }
}

void SimDesktop::runUntil(long long time) {
  for (;;) {
    runPostedEvents();
    if (ended_) return;
    SimTimer* next = nullptr;
    for (SimTimer* t : timers_)
      if (t->ticking() && t->due <= time && (!next || t->due < next->due)) next = t;
    if (!next) break;
    clock_ = std::max(clock_, next->due);
    next->due = clock_ + next->interval();
    if (inTick_) continue;  // a tick never runs inside a tick: this one is dropped
    inTick_ = true;
    ++next->ticks;
    if (next->onTick) next->onTick();
    inTick_ = false;
  }
  clock_ = std::max(clock_, time);
  runPostedEvents();
}

void SimDesktop::advance(int ms) { runUntil(clock_ + ms); }

void SimDesktop::doEvents() { runPostedEvents(); }

// On the virtual clock the passes of a paced step are one stretch of time.
void SimDesktop::doEventsPaced(int, int totalMs) { runUntil(clock_ + totalMs); }

void SimDesktop::end() {
  ended_ = true;
  posted_.clear();
  for (SimTimer* t : timers_) t->setEnabled(false);
}

int SimDesktop::messageBox(const std::string& text, const std::string& title, int style) {
  if (!alive()) return 0;
  messageBoxes.push_back({text, title, style});
  return onMessageBox ? onMessageBox(messageBoxes.back()) : IDOK;
}

void SimDesktop::popupShown(SimMenu& menu) {
  popups.push_back({&menu, cursorX, cursorY});
  const int chosen = onPopup ? onPopup(menu) : -1;
  menu.choose(chosen);
}

}  // namespace platform::sim
