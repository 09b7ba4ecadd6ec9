#pragma once

#include <cstdint>
#include <vector>

namespace tolvane::cli {

// Deals inputs of the given sizes to `count` shards so that every shard holds about as many
// bytes: the largest first, each to the shard with the fewest bytes so far (the lowest-numbered
// among equals), equal sizes in the scan's order. Every machine that scans the same library
// deals the same shards. Gives each input's shard, from 0, in the inputs' order.
std::vector<int> DealBySize(const std::vector<int64_t>& sizes, int count);

}  // namespace tolvane::cli
