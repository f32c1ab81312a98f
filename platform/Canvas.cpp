#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
QColor ToQ(Rgb c) { return QColor(c.r, c.g, c.b); }

constexpr double Pi = 3.14159265358979323846;
}  // namespace

PixelRect PixelRect::United(const PixelRect& r) const {
  if (r.Empty()) return *this;
  if (Empty()) return r;
  return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right), std::max(bottom, r.bottom)};
}

QImage MakeBitmap(int width, int height) {
  QImage image(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

struct Canvas::Painting {
  explicit Painting(QImage* image) : painter(image) {}
  QPainter painter;
};

namespace {
QFont MakeFont(const std::string& family, int pixels, bool bold) {
  QFont f(QString::fromStdString(family));
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}
}  // namespace

Canvas::Canvas(QImage& image) : image_(&image), seenKey_(image.cacheKey()) {}

const QImage& Canvas::Image() {
  Flush();
  return *image_;
}

int Canvas::Width() const { return image_->width(); }
int Canvas::Height() const { return image_->height(); }
std::string Canvas::FontFamily() const { return fontFamily_; }
int Canvas::FontPixelHeight() const { return fontPixels_; }
bool Canvas::FontBold() const { return fontBold_; }

Canvas::~Canvas() { Flush(); }

void Canvas::Flush() {
  if (painting_) {
    painting_->painter.end();
    painting_.reset();
  }
}

Canvas::Painting& Canvas::P() {
  NoteForeignWrites();
  if (!painting_) {
    painting_ = std::make_unique<Painting>(image_);
    painting_->painter.setRenderHint(QPainter::Antialiasing, false);
    painting_->painter.setRenderHint(QPainter::TextAntialiasing, false);
    ApplyPen();
    NoteOwnWrite();  // beginning detaches the image
  }
  return *painting_;
}

// The image's cache key moves on whenever its pixels are opened for writing
// (the painter beginning, bits(), setPixel(), fill(), a new image assigned)
// and stays put while a painter draws and while the image is only read.
void Canvas::NoteForeignWrites() {
  const long long key = image_->cacheKey();
  if (key != seenKey_) {
    MarkAllChanged();
    seenKey_ = key;
  }
}
void Canvas::NoteOwnWrite() { seenKey_ = image_->cacheKey(); }

void Canvas::Mark(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const PixelRect r{std::max(left, 0), std::max(top, 0), std::min(right, image_->width()),
                    std::min(bottom, image_->height())};
  changed_ = changed_.United(r);
}

void Canvas::MarkStroked(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  // A pen of width w reaches w/2 beyond the figure's outline (more at a round
  // cap's rounding), a one-pixel pen one pixel at the closing end.
  const int reach = penWidth_ <= 1 ? 1 : penWidth_ / 2 + 2;
  Mark(left - reach, top - reach, right + reach, bottom + reach);
}

void Canvas::MarkChanged(const PixelRect& r) { Mark(r.left, r.top, r.right, r.bottom); }
void Canvas::MarkAllChanged() { Mark(0, 0, image_->width(), image_->height()); }

PixelRect Canvas::TakeChangedRect() {
  Flush();
  NoteForeignWrites();
  // Clipped again: the image may have shrunk since the rectangle grew.
  const PixelRect r{changed_.left, changed_.top, std::min(changed_.right, image_->width()),
                    std::min(changed_.bottom, image_->height())};
  changed_ = {};
  return r.Empty() ? PixelRect{} : r;
}

void Canvas::ApplyPen() {
  if (!painting_) return;
  QPainter& p = painting_->painter;
  switch (penMode_) {
    case PenMode::Copy:
    case PenMode::Black: p.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    case PenMode::Xor: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case PenMode::NotXor: p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
  }
  if (penStyle_ == PenStyle::Clear) {
    p.setPen(Qt::NoPen);
  } else {
    QPen pen(ToQ(penMode_ == PenMode::Black ? Colours::Black : penColour_));
    // Width 1 is a cosmetic one-pixel pen; wider pens grow round the line.
    pen.setWidth(penWidth_ <= 1 ? 0 : penWidth_);
    pen.setStyle(penStyle_ == PenStyle::Dash ? Qt::DashLine : penStyle_ == PenStyle::Dot ? Qt::DotLine : Qt::SolidLine);
    // Wide pens end and join round, so strokes laid side by side close up.
    pen.setCapStyle(penWidth_ <= 1 ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(penWidth_ <= 1 ? Qt::MiterJoin : Qt::RoundJoin);
    p.setPen(pen);
  }
  if (brushStyle_ == BrushStyle::Clear)
    p.setBrush(Qt::NoBrush);
  else
    p.setBrush(QBrush(ToQ(brushColour_)));
  p.setFont(MakeFont(fontFamily_, fontPixels_, fontBold_));
}

void Canvas::SetPen(Rgb colour, int width, PenMode mode, PenStyle style) {
  penColour_ = colour;
  penWidth_ = std::max(1, width);
  penMode_ = mode;
  penStyle_ = style;
  ApplyPen();
}
void Canvas::SetPenColour(Rgb colour) { penColour_ = colour; ApplyPen(); }
void Canvas::SetPenWidth(int width) { penWidth_ = std::max(1, width); ApplyPen(); }
void Canvas::SetPenMode(PenMode mode) { penMode_ = mode; ApplyPen(); }
void Canvas::SetPenStyle(PenStyle style) { penStyle_ = style; ApplyPen(); }
void Canvas::SetBrush(Rgb colour, BrushStyle style) {
  brushColour_ = colour;
  brushStyle_ = style;
  ApplyPen();
}
void Canvas::SetFont(const std::string& family, int pixelHeight, bool bold) {
  fontFamily_ = family;
  fontPixels_ = std::max(1, pixelHeight);
  fontBold_ = bold;
  ApplyPen();
}
void Canvas::SetFontColour(Rgb colour) { fontColour_ = colour; }

void Canvas::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

void Canvas::LineTo(int x, int y) {
  QPainter& p = P().painter;
  if (penWidth_ <= 1 && penStyle_ == PenStyle::Solid) {
    // One-pixel lines are drawn as Bresenham runs without their end point:
    // the painter would plot it, and a polyline would then hit every corner
    // twice and leave a hole in exclusive-or.
    int x0 = penX_, y0 = penY_;
    const int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    const int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    QPen pen = p.pen();
    QPolygon points;
    while (!(x0 == x && y0 == y)) {
      points << QPoint(x0, y0);
      const int e2 = 2 * err;
      if (e2 >= dy) { err += dy; x0 += sx; }
      if (e2 <= dx) { err += dx; y0 += sy; }
    }
    if (!points.isEmpty()) p.drawPoints(points);
  } else {
    p.drawLine(penX_, penY_, x, y);
  }
  MarkStroked(std::min(penX_, x), std::min(penY_, y), std::max(penX_, x) + 1, std::max(penY_, y) + 1);
  penX_ = x;
  penY_ = y;
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  QPainter& p = P().painter;
  if (brushStyle_ == BrushStyle::Solid) {
    Mark(left, top, right, bottom);  // the outline marks itself, with its pen
    if (penStyle_ == PenStyle::Clear)
      p.fillRect(left, top, right - left, bottom - top, p.brush());
    else if (right - left > 2 && bottom - top > 2)
      p.fillRect(left + 1, top + 1, right - left - 2, bottom - top - 2, p.brush());
  }
  if (penStyle_ != PenStyle::Clear) {
    const int sx = penX_, sy = penY_;
    MoveTo(left, top);
    LineTo(right - 1, top);
    LineTo(right - 1, bottom - 1);
    LineTo(left, bottom - 1);
    LineTo(left, top);
    MoveTo(sx, sy);
  }
}

void Canvas::FillRect(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  P().painter.fillRect(left, top, right - left, bottom - top, QColor(ToQ(brushColour_)));
  Mark(left, top, right, bottom);
}

void Canvas::FillSolidRect(int left, int top, int right, int bottom, Rgb colour) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const QImage::Format format = image_->format();
  if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
      format != QImage::Format_ARGB32_Premultiplied) {
    P().painter.fillRect(left, top, right - left, bottom - top, QColor(ToQ(colour)));
    Mark(left, top, right, bottom);
    return;
  }
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image_->width());
  bottom = std::min(bottom, image_->height());
  if (left >= right || top >= bottom) return;
  Flush();  // the painter's work lands first, in order
  NoteForeignWrites();
  const QRgb pixel = qRgb(colour.r, colour.g, colour.b);
  uchar* bits = image_->bits();
  NoteOwnWrite();
  Mark(left, top, right, bottom);
  const qsizetype stride = image_->bytesPerLine();
  for (int y = top; y < bottom; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(bits + y * stride);
    std::fill(line + left, line + right, pixel);
  }
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  P().painter.drawEllipse(QRect(left, top, std::max(1, right - left - 1), std::max(1, bottom - top - 1)));
  MarkStroked(left, top, std::max(right, left + 2), std::max(bottom, top + 2));
}

void Canvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
  const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
  // Screen y grows downwards, the painter's angles grow counter-clockwise.
  double a1 = std::atan2(cy - y1, x1 - cx) * 180.0 / Pi;
  double a2 = std::atan2(cy - y2, x2 - cx) * 180.0 / Pi;
  double span = a2 - a1;
  while (span <= 0) span += 360.0;
  P().painter.drawArc(QRect(left, top, std::max(1, right - left - 1), std::max(1, bottom - top - 1)),
              static_cast<int>(std::lround(a1 * 16)), static_cast<int>(std::lround(span * 16)));
  MarkStroked(left, top, std::max(right, left + 2), std::max(bottom, top + 2));
}

void Canvas::SetPixel(int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return;
  Flush();
  NoteForeignWrites();
  image_->setPixel(x, y, qRgb(colour.r, colour.g, colour.b));
  NoteOwnWrite();
  Mark(x, y, x + 1, y + 1);
}

Rgb Canvas::Pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return Colours::White;
  Flush();
  const QRgb c = image_->pixel(x, y);
  return Rgb{static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
             static_cast<std::uint8_t>(qBlue(c))};
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  QPainter& p = P().painter;
  const auto mode = p.compositionMode();
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const QPen pen = p.pen();
  p.setPen(ToQ(fontColour_));
  QFontMetrics fm(MakeFont(fontFamily_, fontPixels_, fontBold_));
  const QString q = QString::fromStdString(text);
  if (brushStyle_ == BrushStyle::Solid) p.fillRect(x, y, fm.horizontalAdvance(q), fm.height(), ToQ(brushColour_));
  p.drawText(x, y + fm.ascent(), q);
  // The cell, and the ink where a glyph overhangs it (a leading bearing, a tail).
  const QRect ink = fm.boundingRect(q).translated(x, y + fm.ascent());
  Mark(std::min(x, ink.left()) - 1, std::min(y, ink.top()) - 1,
       std::max(x + fm.horizontalAdvance(q), ink.right() + 1) + 1, std::max(y + fm.height(), ink.bottom() + 1) + 1);
  p.setPen(pen);
  p.setCompositionMode(mode);
}

int Canvas::TextWidth(const std::string& text) {
  return QFontMetrics(MakeFont(fontFamily_, fontPixels_, fontBold_)).horizontalAdvance(QString::fromStdString(text));
}
int Canvas::TextHeight(const std::string&) { return QFontMetrics(MakeFont(fontFamily_, fontPixels_, fontBold_)).height(); }

void Canvas::CopyRect(int dLeft, int dTop, int dRight, int dBottom, const QImage& from, int sLeft, int sTop,
                      int sRight, int sBottom) {
  QPainter& p = P().painter;
  const auto mode = p.compositionMode();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QRect(dLeft, dTop, dRight - dLeft, dBottom - dTop), from,
              QRect(sLeft, sTop, sRight - sLeft, sBottom - sTop));
  p.setCompositionMode(mode);
  Mark(dLeft, dTop, dRight, dBottom);
}

void Canvas::Draw(int x, int y, const QImage& bitmap) {
  QPainter& p = P().painter;
  const auto mode = p.compositionMode();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(x, y, bitmap);
  p.setCompositionMode(mode);
  Mark(x, y, x + bitmap.width(), y + bitmap.height());
}
