#include "shards.h"

#include <algorithm>
#include <numeric>
#include <queue>
#include <utility>

namespace tolvane::cli {

std::vector<int> DealBySize(const std::vector<int64_t>& sizes, int count) {
  std::vector<size_t> order(sizes.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&sizes](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  // The lightest shard on top: fewest bytes, then lowest number.
  using Load = std::pair<int64_t, int>;
  std::priority_queue<Load, std::vector<Load>, std::greater<>> shards;
  for (int shard = 0; shard < count; ++shard)
    shards.emplace(0, shard);
  std::vector<int> dealt(sizes.size(), 0);
  for (const size_t input : order) {
    auto [bytes, shard] = shards.top();
    shards.pop();
    dealt[input] = shard;
    shards.emplace(bytes + sizes[input], shard);
  }
  return dealt;
}

}  // namespace tolvane::cli
