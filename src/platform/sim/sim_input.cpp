// The user's input on the simulated desktop: each action is queued and runs
// at the next event pass, where the system would deliver it.
#include <algorithm>

#include "platform/sim/sim_desktop.h"

namespace platform::sim {

void SimDesktop::mouseMove(Window& target, int button, int x, int y) {
  const Handle hWnd = target.hWnd();
  post([this, hWnd, button, x, y] {
    SimWindow* w = window(hWnd);
    if (!w || !w->visible()) return;
    const MouseEvent e{button, 0, x * metrics_.twipsPerPixelX, y * metrics_.twipsPerPixelY};
    if (SimMouseArea* a = w->areaAt(x, y)) {
      if (a->onMouseMove)
        a->onMouseMove(
            {button, 0, (x - a->x) * metrics_.twipsPerPixelX, (y - a->y) * metrics_.twipsPerPixelY});
    } else if (w->onMouseMove) {
      w->onMouseMove(e);
    }
  });
}

void SimDesktop::click(Window& target, int x, int y) {
  const Handle hWnd = target.hWnd();
  post([this, hWnd, x, y] {
    SimWindow* w = window(hWnd);
    if (!w || !w->visible()) return;
    if (SimMouseArea* a = w->areaAt(x, y); a && a->onClick) a->onClick();
  });
}

void SimDesktop::drag(Window& target, int dx, int dy, int ms, int button) {
  const Handle hWnd = target.hWnd();
  post([this, hWnd, dx, dy, ms] {
    if (SimWindow* w = window(hWnd)) drags_.push_back({hWnd, dx, dy, ms, w->pixelX(), w->pixelY()});
  });
  mouseMove(target, button);
  // The release ends any drag the program did not take up.
  post([this, hWnd] {
    drags_.erase(
        std::remove_if(drags_.begin(), drags_.end(), [&](const PendingDrag& p) { return p.hWnd == hWnd; }),
        drags_.end());
  });
}

void SimDesktop::trayMouse(int mouseMessage) {
  post([this, mouseMessage] {
    // The icon reports by sending its callback message to its window, the
    // mouse message number in the second parameter. With WM_MOUSEMOVE as the
    // callback that reads as a move to X = that number of pixels.
    const auto icons = trayIcons;  // a handler may remove the icon
    for (const auto& [key, icon] : icons) {
      SimWindow* w = window(icon.hWnd);
      if (!w || icon.uCallbackMessage != WM_MOUSEMOVE || !w->onMouseMove) continue;
      w->onMouseMove({0, 0, mouseMessage * metrics_.twipsPerPixelX, 0});
    }
  });
}

void SimDesktop::recreateNotificationArea() {
  trayIcons.clear();
  post([this] {
    for (SimWindow* w : std::vector<SimWindow*>(z_))
      if (w->onNotificationAreaCreated) w->onNotificationAreaCreated();
  });
}

// ---- child controls ----

namespace {

// Input for a control: it runs at the next event pass, and lands only on a
// control that is still there, enabled, in a shown window.
template <typename Sim, typename Action>
void postToControl(SimDesktop& desk, Control& control, Action action) {
  auto* c = dynamic_cast<Sim*>(&control);
  if (!c) return;
  const Handle hWnd = c->window().hWnd(), handle = c->handle();
  desk.post([&desk, hWnd, handle, action] {
    SimWindow* w = desk.window(hWnd);
    auto* target = w ? dynamic_cast<Sim*>(w->control(handle)) : nullptr;
    if (target && w->visible() && target->enabled()) action(*w, *target);
  });
}

}  // namespace

void SimDesktop::type(TextBox& box, const std::string& text) {
  postToControl<SimTextBox>(*this, box, [text](SimWindow&, SimTextBox& b) {
    if (!b.hasFocus()) {
      // Clicked into after its text: the caret goes to the end.
      b.focus();
      b.selectionStart = b.text().size();
      b.selectionLength = 0;
    }
    for (char ch : text) b.typeChar(ch);
  });
}

void SimDesktop::click(Button& button) {
  postToControl<SimButton>(*this, button, [](SimWindow& w, SimButton& b) {
    w.focused = &b;  // a click focuses the button it presses
    b.press();
  });
}

void SimDesktop::key(Window& target, Key key) {
  const Handle hWnd = target.hWnd();
  post([this, hWnd, key] {
    SimWindow* w = window(hWnd);
    if (!w || !w->visible()) return;
    if (key == Key::Escape && w->onCancel) w->onCancel();
    for (const auto& c : w->controls)
      if (auto* b = dynamic_cast<SimButton*>(c.get()); b && key == Key::Enter && b->isDefault()) b->press();
  });
}

}  // namespace platform::sim
