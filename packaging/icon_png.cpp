// Draws the application icon at the pixel sizes of the desktop's icon theme, with the same SVG renderer
// the dashboard uses, so the PNG files never drift from the drawing.
//
//   velmora_icon_png ICON.svg SIZE OUT.png
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: velmora_icon_png ICON.svg SIZE OUT.png\n");
    return 2;
  }
  // The drawing holds no text, so it needs no application object, no fonts and no display.
  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  bool ok = false;
  const int size = QString::fromLocal8Bit(argv[2]).toInt(&ok);
  if (!renderer.isValid() || !ok || size < 1 || size > 1024) {
    std::fprintf(stderr, "velmora_icon_png: cannot draw %s at %s pixels\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  QSaveFile out(QString::fromLocal8Bit(argv[3]));
  if (!out.open(QIODevice::WriteOnly) || !image.save(&out, "PNG") || !out.commit()) {
    std::fprintf(stderr, "velmora_icon_png: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
