// Shared helpers of the on-demand benchmarks: a wall clock and medians.
#pragma once
#include <functional>
#include <vector>

namespace bench {

// Milliseconds taken by one call of `fn`.
double timeMs(const std::function<void()>& fn);
double median(std::vector<double> samples);

// Each benchmark prints its medians and ratios; false when a run went wrong.
bool folderTree(int rounds);
bool processDetection(int rounds);
bool closingLoop(int rounds);
bool blockList(int rounds);
bool erasePass(int rounds);
bool erasePreview(int rounds);

}  // namespace bench
