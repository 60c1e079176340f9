// The main of the benchmarks that need Qt's event loop: one QApplication, on the
// offscreen platform unless the environment names another.
#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
  if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
