// The realisation of graphic controls: no window of their own; the child
// window they sit on draws them into its client area and routes the mouse
// to them. Each peer keeps the rectangle it was last drawn in, so a change
// repaints both where the control was and where it is.
#pragma once
#include <windows.h>
#include "ui/BevelFrame.h"
#include "ui/Image.h"
#include "ui/Label.h"

namespace ui::win32 {

class ChildWindow;

class GraphicPeer : public ui::ControlPeer {
 public:
  GraphicPeer(ChildWindow& host, HWND hostWindow, ui::Control& control);
  ~GraphicPeer() override;
  GraphicPeer(const GraphicPeer&) = delete;
  GraphicPeer& operator=(const GraphicPeer&) = delete;

  void sync() override;
  void update(const ui::Change& change) override;
  void repaint() override;
  void controlDestroyed() override;

  ui::Control& control() { return control_; }
  bool contains(int x, int y) const;
  // Draws the control at its place in the host's client area, clipped to
  // its bounds.
  void paint(HDC dc);

 protected:
  // Draws in the control's own coordinates; rc is its client rectangle.
  virtual void draw(HDC dc, const RECT& rc) = 0;
  // Gives the control the size its content needs, where it takes one.
  virtual void fit() {}

 private:
  RECT bounds() const;
  void invalidate(const RECT& r);

  ChildWindow& host_;
  HWND hostWindow_;
  ui::Control& control_;
  RECT drawnAt_{};
  bool gone_ = false;  // the control no longer exists
};

// A label's text in its font on its colour, in the rectangle; and the size
// its text needs, given to it while it sizes itself.
void drawLabel(HDC dc, const RECT& rc, const ui::Label& label);
void fitLabel(ui::Label& label);

class LabelPeer : public GraphicPeer {
 public:
  LabelPeer(ChildWindow& host, HWND hostWindow, ui::Label& label) : GraphicPeer(host, hostWindow, label), label_(label) {}

 protected:
  void draw(HDC dc, const RECT& rc) override;
  void fit() override;

 private:
  ui::Label& label_;
};

class ImagePeer : public GraphicPeer {
 public:
  ImagePeer(ChildWindow& host, HWND hostWindow, ui::Image& image) : GraphicPeer(host, hostWindow, image), image_(image) {}

 protected:
  void draw(HDC dc, const RECT& rc) override;

 private:
  ui::Image& image_;
};

class BevelFramePeer : public GraphicPeer {
 public:
  BevelFramePeer(ChildWindow& host, HWND hostWindow, ui::BevelFrame& bevel)
      : GraphicPeer(host, hostWindow, bevel), bevel_(bevel) {}

 protected:
  void draw(HDC dc, const RECT& rc) override;

 private:
  ui::BevelFrame& bevel_;
};

}  // namespace ui::win32
