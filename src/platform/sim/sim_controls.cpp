// The simulated child controls.
#include "platform/sim/sim_controls.h"

#include "platform/sim/sim_objects.h"

namespace platform::sim {

bool SimControl::hasFocus() const { return window_.focused == this; }

void SimControl::setText(const std::string& text) {
  text_ = text;
  changed();
}

// A control that loses its enabled state loses the focus with it.
void SimControl::setEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled && hasFocus()) window_.focused = nullptr;
}

void SimTextBox::setText(const std::string& text) {
  // The system's edit control puts the caret at the start of a new text.
  selectionStart = selectionLength = 0;
  SimControl::setText(text);
}

void SimTextBox::changed() {
  if (onChange) onChange();
}

void SimTextBox::selectAll() {
  selectionStart = 0;
  selectionLength = SimControl::text().size();
}

void SimTextBox::focus() {
  if (enabled()) window().focused = this;
}

void SimTextBox::typeChar(char c) {
  std::string t = SimControl::text();
  std::size_t start = selectionStart, length = selectionLength;
  if (c == '\b' && length == 0) {
    if (start == 0) return;
    // The whole character before the caret, however many bytes it has.
    length = 1;
    while (--start > 0 && (static_cast<unsigned char>(t[start]) & 0xC0) == 0x80) ++length;
  }
  t.erase(start, length);
  if (c != '\b') t.insert(start++, 1, c);
  selectionStart = start;
  selectionLength = 0;
  SimControl::setText(t);
}

void SimButton::press() {
  if (!enabled()) return;
  if (onClick) onClick();
}

}  // namespace platform::sim
