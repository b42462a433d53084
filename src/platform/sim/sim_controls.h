// The simulated desktop's child controls: plain objects holding what the
// system's controls would show (text, enabled state, selection), which the
// tests read and which SimDesktop's input (typing, clicks, keys) acts on.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform::sim {

class SimWindow;

// The state every control has; the interfaces' members are forwarded here
// by SimControlOf.
class SimControl {
 public:
  SimControl(SimWindow& window, Handle handle, ControlKind kind, int x, int y, int w, int h, std::string text)
      : x(x), y(y), w(w), h(h), kind(kind), window_(window), handle_(handle), text_(std::move(text)) {}
  virtual ~SimControl() = default;

  // The control as the program sees it.
  virtual Control& control() = 0;
  Handle handle() const { return handle_; }
  SimWindow& window() const { return window_; }
  bool hasFocus() const;

  int x, y, w, h;
  const ControlKind kind;

 protected:
  std::string text() const { return text_; }
  void setText(const std::string& text);
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);
  // After a change of the text, as the system's controls report it.
  virtual void changed() {}

 private:
  SimWindow& window_;
  Handle handle_;
  std::string text_;
  bool enabled_ = true;
};

// A control of one of the interface's kinds.
template <typename Interface, ControlKind K>
class SimControlOf : public Interface, public SimControl {
 public:
  SimControlOf(SimWindow& window, Handle handle, int x, int y, int w, int h, std::string text)
      : SimControl(window, handle, K, x, y, w, h, std::move(text)) {}
  Control& control() override { return *this; }
  std::string text() const override { return SimControl::text(); }
  void setText(const std::string& text) override { SimControl::setText(text); }
  bool enabled() const override { return SimControl::enabled(); }
  void setEnabled(bool enabled) override { SimControl::setEnabled(enabled); }
};

using SimLabel = SimControlOf<Label, ControlKind::Label>;

class SimTextBox : public SimControlOf<TextBox, ControlKind::TextBox> {
 public:
  using SimControlOf::SimControlOf;
  void setText(const std::string& text) override;
  void selectAll() override;
  void focus() override;
  // What typing a character does: it replaces the selection, or adds to
  // the end; a backspace removes the selection or the last character.
  void typeChar(char c);

  // The selection as byte offsets into the text: what typing replaces.
  std::size_t selectionStart = 0, selectionLength = 0;

 private:
  void changed() override;
};

class SimButton : public SimControlOf<Button, ControlKind::Button> {
 public:
  using SimControlOf::SimControlOf;
  // A press that lands: only an enabled button is pressed.
  void press();
};

}  // namespace platform::sim
