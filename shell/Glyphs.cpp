#include "shell/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {

constexpr int S = 16;

void Page(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygon({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}}));
  p.drawPolyline(QPolygon({{10, 1}, {10, 4}, {13, 4}}));
}

void Aerofoil(QPainter& p, QRectF r) {
  QPainterPath path;
  path.moveTo(r.left(), r.center().y());
  path.cubicTo(r.left() + r.width() * 0.2, r.top(), r.left() + r.width() * 0.6, r.top(), r.right(),
               r.center().y() + r.height() * 0.1);
  path.cubicTo(r.left() + r.width() * 0.6, r.bottom() - r.height() * 0.3, r.left() + r.width() * 0.2,
               r.bottom() - r.height() * 0.2, r.left(), r.center().y());
  p.drawPath(path);
}

}  // namespace

QIcon SpeedButtonGlyph(Cmd b) {
  QPixmap pm(S, S);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPen ink(QColor(20, 20, 20), 1.2);
  p.setPen(ink);
  const QColor green(0, 128, 0), red(200, 0, 0), blue(0, 70, 160);
  switch (b) {
    case Cmd::SpeedButton19: Page(p); break;
    case Cmd::SpeedButton2:
      p.setBrush(QColor(230, 190, 60));
      p.drawPolygon(QPolygon({{1, 4}, {6, 4}, {7, 6}, {14, 6}, {14, 14}, {1, 14}}));
      break;
    case Cmd::SpeedButton1:
      p.setBrush(blue);
      p.drawRect(2, 2, 12, 12);
      p.setBrush(Qt::white);
      p.drawRect(5, 2, 6, 5);
      p.drawRect(4, 9, 8, 5);
      break;
    case Cmd::SpeedButton3:
      p.setBrush(Qt::white);
      p.drawRect(4, 1, 8, 5);
      p.setBrush(QColor(160, 160, 160));
      p.drawRect(1, 6, 14, 6);
      p.setBrush(Qt::white);
      p.drawRect(4, 10, 8, 5);
      break;
    case Cmd::SpeedButton25:
      p.setPen(QPen(QColor(128, 128, 0), 1.5, Qt::DashLine));
      p.drawLine(1, 14, 14, 1);
      p.drawLine(1, 8, 15, 8);
      break;
    case Cmd::SpeedButton4:
      p.setPen(QPen(green, 1.5));
      p.drawRect(2, 4, 12, 8);
      break;
    case Cmd::SpeedButton23:
      p.setPen(QPen(green, 1.5));
      p.drawEllipse(2, 2, 12, 12);
      break;
    case Cmd::SpeedButton6:
      p.setPen(QPen(green, 1.5));
      Aerofoil(p, QRectF(1, 4, 14, 8));
      break;
    case Cmd::SpeedButton8:
      p.drawRect(1, 1, 8, 8);
      p.setPen(QPen(red, 1.2));
      p.drawRect(6, 6, 8, 8);
      break;
    case Cmd::SpeedButton9:
      p.drawLine(8, 1, 8, 15);
      p.drawLine(1, 8, 15, 8);
      p.setBrush(QColor(20, 20, 20));
      p.drawPolygon(QPolygon({{8, 0}, {6, 3}, {10, 3}}));
      p.drawPolygon(QPolygon({{8, 16}, {6, 13}, {10, 13}}));
      p.drawPolygon(QPolygon({{0, 8}, {3, 6}, {3, 10}}));
      p.drawPolygon(QPolygon({{16, 8}, {13, 6}, {13, 10}}));
      break;
    case Cmd::SpeedButton10:
      p.drawArc(QRectF(2, 2, 12, 12), 30 * 16, 280 * 16);
      p.setBrush(QColor(20, 20, 20));
      p.drawPolygon(QPolygon({{13, 2}, {14, 7}, {9, 5}}));
      break;
    case Cmd::SpeedButton11:
      p.setPen(QPen(QColor(20, 20, 20), 1, Qt::DotLine));
      p.drawLine(8, 0, 8, 16);
      p.setPen(ink);
      p.setBrush(green);
      p.drawPolygon(QPolygon({{1, 12}, {6, 4}, {6, 12}}));
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(QPolygon({{15, 12}, {10, 4}, {10, 12}}));
      break;
    case Cmd::SpeedButton16:
      p.setPen(QPen(QColor(20, 20, 20), 1, Qt::DotLine));
      p.drawLine(0, 8, 16, 8);
      p.setPen(ink);
      p.setBrush(green);
      p.drawPolygon(QPolygon({{4, 1}, {12, 6}, {4, 6}}));
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(QPolygon({{4, 15}, {12, 10}, {4, 10}}));
      break;
    case Cmd::SpeedButton17:
      p.drawRect(1, 5, 7, 6);
      p.setPen(QPen(green, 1.2));
      p.drawRect(1, 5, 14, 6);
      break;
    case Cmd::SpeedButton18:
      p.setPen(QPen(green, 1.5));
      p.drawPolygon(QPolygon({{1, 13}, {15, 13}, {11, 3}, {5, 3}}));
      break;
    case Cmd::SpeedButton14:
      p.drawRect(5, 5, 6, 6);
      p.setPen(QPen(green, 1.2));
      p.drawRect(1, 1, 14, 14);
      break;
    case Cmd::SpeedButton15:
      p.setPen(QPen(red, 2));
      p.drawLine(3, 3, 13, 13);
      p.drawLine(13, 3, 3, 13);
      break;
    case Cmd::SpeedButton24: {
      p.setPen(QPen(blue, 1.2));
      for (int i = 0; i < 3; ++i) {
        QPainterPath w;
        w.moveTo(0, 3 + 4 * i);
        w.cubicTo(5, 1 + 4 * i, 10, 5 + 4 * i, 16, 3 + 4 * i);
        p.drawPath(w);
      }
      QLinearGradient g(0, 0, 16, 0);
      g.setColorAt(0, Qt::blue);
      g.setColorAt(0.5, Qt::green);
      g.setColorAt(1, Qt::red);
      p.setPen(Qt::NoPen);
      p.setBrush(g);
      p.drawRect(0, 13, 16, 3);
      break;
    }
    case Cmd::SpeedButton5:
      p.setBrush(Qt::white);
      p.drawEllipse(1, 3, 14, 14);
      p.setPen(QPen(red, 1.5));
      p.drawLine(8, 10, 12, 5);
      break;
    case Cmd::SpeedButton21:
      p.setBrush(QColor(0, 150, 0));
      p.drawPolygon(QPolygon({{4, 2}, {14, 8}, {4, 14}}));
      break;
    default: break;
  }
  return QIcon(pm);
}

QImage PanelPicture(int which, int width, int height) {
  QImage img(width, height, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient sky(0, 0, 0, height);
  sky.setColorAt(0, which == 7 ? QColor(30, 40, 90) : QColor(210, 230, 250));
  sky.setColorAt(1, which == 7 ? QColor(80, 120, 170) : QColor(250, 250, 255));
  p.fillRect(img.rect(), sky);
  // Flow lines bending round an aerofoil in the middle of the picture.
  const double cx = width * 0.5, cy = height * 0.5, r = std::min(width, height) * 0.16;
  p.setPen(QPen(which == 7 ? QColor(180, 220, 255) : QColor(0, 90, 160), 1.4));
  for (int i = -7; i <= 7; ++i) {
    if (i == 0) continue;
    QPainterPath path;
    const double y0 = cy + i * height / 16.0;
    path.moveTo(0, y0);
    for (int x = 0; x <= width; x += 4) {
      // Stream function of a uniform stream round a cylinder: y (1 - r²/ρ²).
      const double dx = x - cx;
      const double target = y0 - cy;
      double y = target;
      for (int it = 0; it < 30; ++it) {
        const double rho2 = dx * dx + y * y;
        const double f = y * (1 - r * r / std::max(rho2, r * r)) - target;
        y -= f * 0.5;
      }
      path.lineTo(x, cy + y);
    }
    p.drawPath(path);
  }
  p.setPen(QPen(QColor(0, 100, 0), 2));
  p.setBrush(QColor(0, 128, 0));
  Aerofoil(p, QRectF(cx - r * 1.3, cy - r * 0.45, r * 2.6, r * 0.9));
  p.setPen(which == 7 ? Qt::white : QColor(0, 40, 90));
  QFont f("DejaVu Sans");
  f.setPixelSize(std::max(12, height / 12));
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRect(0, height / 20, width, height / 6), Qt::AlignCenter, which == 0 ? "Start up tip" : "Quorvane");
  return img;
}
