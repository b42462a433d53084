// The simulated desktop's windows, surfaces, menus and timers.
#include "platform/sim/sim_objects.h"

#include <algorithm>

#include "platform/sim/sim_desktop.h"
#include "platform/twips.h"

namespace platform::sim {

SimSurface::SimSurface(SimDesktop& desk, Bitmap bmp)
    : bitmap(std::move(bmp)), desk_(desk), dc_(desk.newHandle()) {
  desk_.registerDC(dc_, &bitmap);
}

SimSurface::~SimSurface() { desk_.unregisterDC(dc_); }

int SimMenu::addItem(const std::string& text, std::function<void()> onClick) {
  items.push_back({text, std::move(onClick)});
  return static_cast<int>(items.size()) - 1;
}

std::string SimMenu::caption(int item) const {
  if (item < 0 || item >= itemCount()) return {};
  return items[item].caption;
}

void SimMenu::setCaption(int item, const std::string& text) {
  if (item >= 0 && item < itemCount()) items[item].caption = text;
}

bool SimMenu::choose(int item) {
  if (item < 0 || item >= itemCount() || items[item].caption == "-") return false;
  if (items[item].onClick) items[item].onClick();
  return true;
}

void SimMenu::popup() { desk_.popupShown(*this); }

SimWindow::SimWindow(SimDesktop& desk, const WindowDesign& s)
    : design(s), desk_(desk), hwnd_(desk.newHandle()), dc_(desk.newHandle()) {
  if (design.hasIcon) icon_ = desk.newHandle();
  width_ = design.width;
  height_ = design.height;
  ensureBack();
  desk_.registerDC(dc_, &back);
  desk_.addWindow(this);
  // A dialog first appears in the middle of the screen, as on the real one.
  const ScreenMetrics scr = desk_.screen();
  if (design.kind == WindowKind::Dialog)
    moveToPixels(toPixels((scr.width - width_) / 2, scr.twipsPerPixelX),
                 toPixels((scr.height - height_) / 2, scr.twipsPerPixelY));
}

SimWindow::~SimWindow() {
  desk_.unregisterDC(dc_);
  desk_.removeWindow(this);
}

void SimWindow::setLeft(float twips) {
  left_ = twips;
  pixelX_ = toPixels(twips, desk_.screen().twipsPerPixelX);
}

void SimWindow::setTop(float twips) {
  top_ = twips;
  pixelY_ = toPixels(twips, desk_.screen().twipsPerPixelY);
}

void SimWindow::setWidth(float twips) {
  width_ = twips;
  ensureBack();
}

void SimWindow::setHeight(float twips) {
  height_ = twips;
  ensureBack();
}

int SimWindow::pixelWidth() const { return std::max(0, toPixels(width_, desk_.screen().twipsPerPixelX)); }

int SimWindow::pixelHeight() const { return std::max(0, toPixels(height_, desk_.screen().twipsPerPixelY)); }

void SimWindow::moveToPixels(int x, int y) {
  pixelX_ = x;
  pixelY_ = y;
  left_ = static_cast<float>(x) * desk_.screen().twipsPerPixelX;
  top_ = static_cast<float>(y) * desk_.screen().twipsPerPixelY;
}

void SimWindow::show() {
  visible_ = true;
  // A dialog comes to the front and takes the focus; a character window
  // only appears.
  if (design.kind == WindowKind::Dialog) {
    desk_.raise(this);
    desk_.activate(hwnd_);
  }
}

MouseArea& SimWindow::addMouseArea(int x, int y, int w, int h) {
  areas.push_back(std::make_unique<SimMouseArea>(x, y, w, h));
  return *areas.back();
}

Control& SimWindow::addControl(ControlKind kind, int x, int y, int w, int h, const std::string& text) {
  const Handle handle = desk_.newHandle();
  if (kind == ControlKind::Label)
    controls.push_back(std::make_unique<SimLabel>(*this, handle, x, y, w, h, text));
  else if (kind == ControlKind::TextBox)
    controls.push_back(std::make_unique<SimTextBox>(*this, handle, x, y, w, h, text));
  else
    controls.push_back(std::make_unique<SimButton>(*this, handle, x, y, w, h, text));
  return controls.back()->control();
}

SimControl* SimWindow::control(Handle handle) const {
  for (const auto& c : controls)
    if (c->handle() == handle) return c.get();
  return nullptr;
}

Menu& SimWindow::addMenu(const std::string& caption) {
  menus.push_back(std::make_unique<SimMenu>(desk_, caption));
  return *menus.back();
}

SimMouseArea* SimWindow::areaAt(int x, int y) const {
  for (auto it = areas.rbegin(); it != areas.rend(); ++it)
    if ((*it)->contains(x, y)) return it->get();
  return nullptr;
}

// The back image never shrinks, so that what was drawn survives a collapse.
void SimWindow::ensureBack() {
  const int w = std::max(back.width, pixelWidth());
  const int h = std::max(back.height, pixelHeight());
  if (w == back.width && h == back.height) return;
  Bitmap grown(w, h, 0xFFFFFF);
  for (int y = 0; y < back.height; ++y)
    for (int x = 0; x < back.width; ++x) grown.at(x, y) = back.at(x, y);
  back = std::move(grown);  // the registered pointer stays valid: same object
}

SimTimer::SimTimer(SimDesktop& desk, int interval, bool enabled) : Timer(interval, enabled), desk_(desk) {
  restart();
  desk_.addTimer(this);
}

SimTimer::~SimTimer() { desk_.removeTimer(this); }

// Enabling restarts the count even when the timer was already on.
void SimTimer::restart() { due = desk_.clock() + interval(); }

}  // namespace platform::sim
