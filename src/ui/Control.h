// Base of the toolkit's visual models: geometry, visibility, colour, hint and
// the events every control can have. The model is the source of truth; a
// realisation attaches a peer and mirrors each change into a real control.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "ui/Graphics.h"

namespace ui {

class Form;

// What one change of a model touched. The realisation mirrors that aspect
// and nothing else; a setter given its present value reports nothing.
enum class Aspect {
  Bounds,        // place and size
  Visible,
  Enabled,
  Look,          // anything that is only drawn: colour, font, picture...
  Hint,
  Text,          // caption or text
  Value,         // checked state, position, key, active page, collapsed
  Range,         // the bounds a value keeps within
  Lines,         // every line (item, tab) replaced at once
  LineInserted,  // one line inserted at `index`
  LineRemoved,   // one line removed at `index`
  Selection,
};

struct Change {
  Aspect aspect;
  int index = -1;  // the line, for LineInserted and LineRemoved
};

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void sync() = 0;  // at creation: mirror every aspect
  virtual void update(const Change& change) = 0;
  virtual void repaint() = 0;  // redraw now
  // The control is being destroyed: let go of it and of its real control.
  virtual void controlDestroyed() {}
  // The keyboard's focus goes to the control.
  virtual void focus() {}
};

enum class MouseButton { Left, Right, Middle };
enum class Cursor { Default, HandPoint };

// Top-aligned controls stack down from the top of their parent's inside
// (within its bevels) at full width, in creation order; a client-aligned
// control fills what is left. The model keeps the layout, so a realisation
// only mirrors bounds.
enum class Align { None, Top, Client };

class Control {
 public:
  Control(Control* parent, std::string name);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& name() const { return name_; }
  Control* parent() const { return parent_; }
  const std::vector<Control*>& children() const { return children_; }
  Form* form();

  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void setBounds(int left, int top, int width, int height);
  void setHeight(int height) { setBounds(left_, top_, width_, height); }
  Rect clientRect() const { return Rect{0, 0, width_, height_}; }

  bool visible() const { return visible_; }
  virtual void setVisible(bool v);
  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  Color color() const { return color_; }
  void setColor(Color c);
  const std::string& hint() const { return hint_; }
  void setHint(const std::string& h);
  void repaint();
  // Gives the control the keyboard's focus, as a click on it would.
  void setFocus() {
    if (peer_) peer_->focus();
  }

  Align align() const { return align_; }
  void setAlign(Align a);
  // The part of the control its aligned children share.
  virtual Rect insideRect() const { return clientRect(); }
  // Lays out the aligned children again.
  void realign();

  ControlPeer* peer() const { return peer_; }
  void attachPeer(ControlPeer* p) { peer_ = p; }

  // The mouse pointer's shape while it is over the control.
  Cursor cursor = Cursor::Default;

  std::function<void(Canvas&, Rect)> OnPaint;
  std::function<void(MouseButton, int, int)> OnMouseDown;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;
  std::function<void()> OnClick;

  // The realisation reports the mouse through these; they run the events.
  // A control with behaviour of its own adds it after the base's handling.
  virtual void mouseDown(MouseButton button, int x, int y);
  virtual void mouseEnter();
  virtual void mouseLeave();

 protected:
  void changed(Aspect aspect, int index = -1);

 private:
  std::string name_;
  Control* parent_;
  std::vector<Control*> children_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  Color color_ = clBtnFace;
  Align align_ = Align::None;
  bool aligning_ = false;
  std::string hint_;
  ControlPeer* peer_ = nullptr;
};

}  // namespace ui
