// The simulated desktop's objects: windows with back images, surfaces,
// mouse areas, menus and timers. They keep their state in plain members
// that the tests may read; SimDesktop ties them together.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_controls.h"

namespace platform::sim {

class SimDesktop;

class SimSurface : public Surface {
 public:
  SimSurface(SimDesktop& desk, Bitmap bmp);
  ~SimSurface() override;
  Handle hDC() const override { return dc_; }
  int width() const override { return bitmap.width; }
  int height() const override { return bitmap.height; }
  Bitmap read() const override { return bitmap; }

  Bitmap bitmap;

 private:
  SimDesktop& desk_;
  Handle dc_;
};

class SimMouseArea : public MouseArea {
 public:
  SimMouseArea(int x, int y, int w, int h) : x(x), y(y), w(w), h(h) {}
  void setToolTipText(const std::string& text) override { tip_ = text; }
  std::string toolTipText() const override { return tip_; }
  bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }

  int x, y, w, h;

 private:
  std::string tip_;
};

class SimMenu : public Menu {
 public:
  struct Item {
    std::string caption;
    std::function<void()> onClick;
  };
  SimMenu(SimDesktop& desk, std::string caption) : title(std::move(caption)), desk_(desk) {}
  int addItem(const std::string& caption, std::function<void()> onClick) override;
  int itemCount() const override { return static_cast<int>(items.size()); }
  std::string caption(int item) const override;
  void setCaption(int item, const std::string& caption) override;
  bool visible() const override { return visible_; }
  void setVisible(bool v) override { visible_ = v; }
  void popup() override;

  // Chooses an item as a click on it would; separators cannot be chosen.
  bool choose(int item);

  std::string title;  // the menu's own caption
  std::vector<Item> items;

 private:
  SimDesktop& desk_;
  bool visible_ = true;
};

class SimWindow : public Window {
 public:
  SimWindow(SimDesktop& desk, const WindowDesign& design);
  ~SimWindow() override;

  float left() const override { return left_; }
  float top() const override { return top_; }
  float width() const override { return width_; }
  float height() const override { return height_; }
  void setLeft(float twips) override;
  void setTop(float twips) override;
  void setWidth(float twips) override;
  void setHeight(float twips) override;
  void show() override;
  void hide() override { visible_ = false; }
  bool visible() const override { return visible_; }
  Handle hWnd() const override { return hwnd_; }
  Handle hDC() const override { return dc_; }
  // The screen is composed from the back image itself: nothing to copy.
  void refresh() override {}
  Handle icon() const override { return icon_; }
  MouseArea& addMouseArea(int x, int y, int width, int height) override;
  Menu& addMenu(const std::string& caption) override;

  // Where the window stands in whole pixels.
  int pixelX() const { return pixelX_; }
  int pixelY() const { return pixelY_; }
  int pixelWidth() const;
  int pixelHeight() const;
  // A move by other means than Left and Top (the user's drag): the position
  // then reads back as pixels times twips per pixel.
  void moveToPixels(int x, int y);
  // The area under a client point, or null.
  SimMouseArea* areaAt(int x, int y) const;
  // The child control with this handle, or null.
  SimControl* control(Handle handle) const;

  WindowDesign design;
  bool topmost = false;
  Bitmap back;  // the persistent back image
  std::vector<std::unique_ptr<SimMouseArea>> areas;
  std::vector<std::unique_ptr<SimMenu>> menus;
  std::vector<std::unique_ptr<SimControl>> controls;
  SimControl* focused = nullptr;  // the child control with the keyboard focus

 private:
  Control& addControl(ControlKind kind, int x, int y, int width, int height,
                      const std::string& text) override;
  void ensureBack();

  SimDesktop& desk_;
  Handle hwnd_;
  Handle dc_;
  Handle icon_ = 0;
  float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int pixelX_ = 0, pixelY_ = 0;
  bool visible_ = false;
};

class SimTimer : public Timer {
 public:
  SimTimer(SimDesktop& desk, int interval, bool enabled);
  ~SimTimer() override;

  bool ticking() const { return enabled() && interval() > 0; }
  long long due = 0;  // virtual time of the next tick
  int ticks = 0;      // ticks delivered

 private:
  void restart() override;

  SimDesktop& desk_;
};

}  // namespace platform::sim
