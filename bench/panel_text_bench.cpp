// What drawing a panel's figures costs at each paint: the dashboard's panels draw a short text on their
// fill four times a second. The text drawn glyph by glyph from glyphs looked up once, against the painter
// laying the text out whole.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <string_view>

#include <benchmark/benchmark.h>

#include "app/character_run.h"

namespace velmora::app {
namespace {

constexpr std::array<std::string_view, 4> kTexts{"85", "102", "27.5", "1:41.275"};

QFont PanelFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(16);
  font.setBold(true);
  return font;
}

template <typename DrawText>
void Paint(benchmark::State& state, DrawText draw_text) {
  QImage image(90, 30, QImage::Format_RGB32);
  const QFont font = PanelFont();
  std::size_t next = 0;
  for (auto _ : state) {
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(0, 128, 0));
    painter.setPen(Qt::white);
    draw_text(painter, QRectF(image.rect()), font, kTexts[next]);
    next = (next + 1) % kTexts.size();
  }
  benchmark::DoNotOptimize(image.constBits());
}

void BM_PanelTextCharacterRun(benchmark::State& state) {
  CharacterRun run;
  Paint(state, [&run](QPainter& painter, const QRectF& area, const QFont& font, std::string_view text) {
    run.Draw(painter, area, font, text);
  });
}

void BM_PanelTextLaidOutWhole(benchmark::State& state) {
  Paint(state, [](QPainter& painter, const QRectF& area, const QFont& font, std::string_view text) {
    painter.setFont(font);
    painter.drawText(area, Qt::AlignCenter,
                     QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  });
}

BENCHMARK(BM_PanelTextCharacterRun);
BENCHMARK(BM_PanelTextLaidOutWhole);

}  // namespace
}  // namespace velmora::app

int main(int argc, char** argv) {
  // Drawing into an image needs the fonts of a GUI application, not a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
