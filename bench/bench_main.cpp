// tarnwick_bench.exe [ROUNDS]: times the tree deletion of the eraser against
// the command interpreter's own "rd /s /q", and the browser test and the
// popup blocker's closing loop at growing numbers of top-level windows
// against their bare platform calls.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include "Bench.h"

namespace bench {

double timeMs(const std::function<void()>& fn) {
  LARGE_INTEGER freq, start, end;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  fn();
  QueryPerformanceCounter(&end);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart);
}

double median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

}  // namespace bench

// tarnwick_bench.exe [ROUNDS [NAME]]: NAME runs only that benchmark
// ("tree", "process", "blocker", "blocklist", "erase", "preview").
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string only = argc > 2 ? argv[2] : "";
  const std::pair<const char*, bool (*)(int)> benchmarks[] = {{"tree", bench::folderTree},
                                                               {"process", bench::processDetection},
                                                               {"blocker", bench::closingLoop},
                                                               {"blocklist", bench::blockList},
                                                               // Before the erase pass: its cache erase
                                                               // takes the cache's folders, which the HTTP
                                                               // layer makes again only when next loaded.
                                                               {"preview", bench::erasePreview},
                                                               {"erase", bench::erasePass}};
  bool ok = true;
  for (const auto& [name, run] : benchmarks) {
    if (!only.empty() && only != name) continue;
    ok = run(rounds) && ok;
    std::fflush(stdout);
  }
  return ok ? 0 : 1;
}
