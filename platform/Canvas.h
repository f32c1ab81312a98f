// Canvas: the drawing surface every drawing routine of the program paints on.
// It wraps a QImage (the view, an off-screen bitmap, a printer page) with a pen
// position, a pen, a brush and a font, the way the drawing code thinks of them.
// The image is the only Qt type named here, and only by a declaration: code
// that draws needs no Qt header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Rgb.h"

class QImage;

// A rectangle of image pixels, right and bottom exclusive; empty when it holds
// no pixel.
struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int Width() const { return Empty() ? 0 : right - left; }
  int Height() const { return Empty() ? 0 : bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool Contains(const PixelRect& r) const {
    return r.Empty() || (!Empty() && r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom);
  }
  // The smallest rectangle holding both.
  PixelRect United(const PixelRect& r) const;
  bool operator==(const PixelRect&) const = default;
};

enum class PenMode { Copy, Black, Xor, NotXor };
enum class PenStyle { Solid, Dash, Dot, Clear };
enum class BrushStyle { Solid, Clear };

class Canvas {
 public:
  // The canvas paints into `image`, which must outlive it.
  explicit Canvas(QImage& image);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // The image with all drawing so far in it (the painter is ended first), to
  // read, save or show. Writes go through the canvas, so that they are counted
  // in the changed rectangle.
  const QImage& Image();
  int Width() const;
  int Height() const;

  // Ends the painter so the image can be read or blitted; the next drawing call
  // begins it again. Image() and TakeChangedRect() do it themselves.
  void Flush();

  // The part of the image that drawing has changed since the last call: the
  // bounding rectangle of every figure, text, copy and pixel write (wide pens
  // included), clipped to the image; the whole image when the image was
  // written to or replaced behind the canvas's back. Hands it over, leaves
  // nothing behind, and ends the painter so the image can be shown.
  PixelRect TakeChangedRect();
  // Counts `r` (or the whole image) as changed, for a caller that has changed
  // the image's pixels some other way.
  void MarkChanged(const PixelRect& r);
  void MarkAllChanged();

  // Pen, brush, font.
  void SetPen(Rgb colour, int width = 1, PenMode mode = PenMode::Copy, PenStyle style = PenStyle::Solid);
  void SetPenColour(Rgb colour);
  void SetPenWidth(int width);
  void SetPenMode(PenMode mode);
  void SetPenStyle(PenStyle style);
  void SetBrush(Rgb colour, BrushStyle style = BrushStyle::Solid);
  void SetFont(const std::string& family, int pixelHeight, bool bold = false);
  std::string FontFamily() const;
  int FontPixelHeight() const;
  bool FontBold() const;
  void SetFontColour(Rgb colour);
  Rgb PenColour() const { return penColour_; }
  PenMode Mode() const { return penMode_; }

  // Figures. Lines run from the pen position to (x, y) and leave out their last
  // pixel, so a polyline touches every pixel once and erases cleanly in xor.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  int PenX() const { return penX_; }
  int PenY() const { return penY_; }
  // Outline with the pen, inside filled with the brush; right and bottom are
  // exclusive.
  void Rectangle(int left, int top, int right, int bottom);
  void FillRect(int left, int top, int right, int bottom);  // brush only
  // The same pixels as FillRect with a solid `colour` brush in copy mode, written
  // straight into the image's scanlines, clipped to the image like FillRect;
  // the pen and brush are left as they are. For fields of many small squares
  // (the pressure map), where a painter call per square costs far more than
  // the pixels it sets.
  void FillSolidRect(int left, int top, int right, int bottom, Rgb colour);
  void Ellipse(int left, int top, int right, int bottom);
  // Counter-clockwise arc of the ellipse in the bounding box, from the ray
  // towards (x1, y1) to the ray towards (x2, y2).
  void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
  void SetPixel(int x, int y, Rgb colour);
  Rgb Pixel(int x, int y);

  // Text in the font colour; with a solid brush its cell is first filled with
  // the brush colour, so a title can stand over a line.
  void TextOut(int x, int y, const std::string& text);
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);

  // Copies `source` rectangle of `from` to the destination rectangle here
  // (scaled when the sizes differ).
  void CopyRect(int dLeft, int dTop, int dRight, int dBottom, const QImage& from, int sLeft, int sTop,
                int sRight, int sBottom);
  void Draw(int x, int y, const QImage& bitmap);

 private:
  struct Painting;  // the painter, begun on demand, and the font
  Painting& P();
  void ApplyPen();
  // Grows the changed rectangle by [left, right) x [top, bottom), clipped.
  void Mark(int left, int top, int right, int bottom);
  // Grows it by a figure's box and the pen's reach outside it.
  void MarkStroked(int left, int top, int right, int bottom);
  // Marks the whole image when its pixels changed since the canvas last wrote
  // them (a write behind its back, or a new image assigned); called before and
  // after every write of the canvas's own.
  void NoteForeignWrites();
  void NoteOwnWrite();
  QImage* image_;
  PixelRect changed_;
  long long seenKey_ = 0;  // the image's cache key after the canvas's last write
  std::unique_ptr<Painting> painting_;
  Rgb penColour_ = Colours::Black;
  int penWidth_ = 1;
  PenMode penMode_ = PenMode::Copy;
  PenStyle penStyle_ = PenStyle::Solid;
  Rgb brushColour_ = Colours::White;
  BrushStyle brushStyle_ = BrushStyle::Solid;
  std::string fontFamily_ = "DejaVu Sans";
  int fontPixels_ = 12;
  bool fontBold_ = false;
  Rgb fontColour_ = Colours::Black;
  int penX_ = 0, penY_ = 0;
};

// A fresh white image of the format the view uses.
QImage MakeBitmap(int width, int height);
