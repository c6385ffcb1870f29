#include "game/memory_snapshot.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/process_memory.h"

namespace velmora {
namespace {

struct Range {
  std::uint32_t address;
  std::uint32_t size;
};

// Which data share a block decides how many reads a cycle costs; the blocks' own reads may fail here,
// only the plan is looked at.
TEST(MemorySnapshotTest, NearbyDataShareABlockAndDistantOnesDoNot) {
  auto memory = platform::OpenProcessMemory(static_cast<std::uint32_t>(getpid()));
  ASSERT_NE(memory, nullptr);
  constexpr std::uint32_t gap = MemorySnapshot::kMaxGap;
  struct Case {
    const char* what;
    std::vector<Range> ranges;
    std::size_t blocks;
  };
  const std::vector<Case> cases{
      {"a gap of exactly the limit", {{0x1000, 8}, {0x1008 + gap, 8}}, 1},
      {"one byte more", {{0x1000, 8}, {0x1009 + gap, 8}}, 2},
      {"overlapping, in any order", {{0x2004, 8}, {0x2000, 8}, {0x2002, 2}}, 1},
      {"address 0 and wrapping ranges are no data", {{0, 8}, {0xFFFFFFFC, 8}}, 0},
      // Where the block's end plus the gap would pass 4 GiB.
      {"overlapping near the top", {{0xFFFFF000, 8}, {0xFFFFF004, 8}}, 1},
      {"close together near the top", {{0xFFFFF000, 8}, {0xFFFFFFF0, 8}}, 1},
      {"far apart near the top", {{0xFFFF0000, 8}, {0xFFFFFFF0, 8}}, 2},
  };
  MemorySnapshot snapshot;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    snapshot.Reset();
    for (const auto& range : c.ranges) {
      snapshot.Want(range.address, range.size);
    }
    snapshot.Capture(*memory);
    EXPECT_EQ(snapshot.BlockCount(), c.blocks);
  }
}

}  // namespace
}  // namespace velmora
