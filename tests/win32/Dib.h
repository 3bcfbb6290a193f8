// A 32-bit top-down bitmap selected into a memory device context, for tests
// that draw into it, or copy a window's pixels into it, and read them back.
#pragma once
#include <windows.h>
#include <cstdint>

class Dib {
 public:
  Dib(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bmp_);
  }
  ~Dib() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // The pixels, row after row from the top, once drawing has been flushed.
  const std::uint32_t* bits() const {
    GdiFlush();
    return bits_;
  }
  COLORREF at(int x, int y) const { return toColor(bits()[y * width_ + x]); }
  static COLORREF toColor(std::uint32_t p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};
