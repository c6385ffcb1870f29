#include "platform/process_memory.h"

#include <array>
#include <cerrno>
#include <vector>

#include <gtest/gtest.h>

#include "memory_fixture.h"
#ifndef _WIN32
#include "platform/linux/process_memory_linux.h"
#endif

namespace velmora::platform {
namespace {

// Above 0x68000000: Wine keeps the low memory below it reserved for itself, and reserved memory reads as
// zeros from outside, where these tests need reads that fail.
constexpr std::uint32_t kBase = 0x7A000000;

std::size_t PageSize() {
  return test::PageSize();
}

template <typename T>
T ReadAs(ProcessMemory& memory, std::uint32_t address, bool* ok) {
  T value{};
  *ok = memory.Read(address, std::as_writable_bytes(std::span(&value, 1)));
  return value;
}

TEST(ProcessMemoryTest, ReadsKnownBytesOfAnotherProcess) {
  test::MemoryFixture fixture(kBase, 2 * PageSize());
  fixture.Put<double>(kBase + 0x10, 353.15);
  fixture.Put<std::int16_t>(kBase + 0x20, -1);
  auto memory = OpenProcessMemory(fixture.Pid());
  ASSERT_NE(memory, nullptr);

  bool ok = false;
  EXPECT_EQ(ReadAs<double>(*memory, kBase + 0x10, &ok), 353.15);
  EXPECT_TRUE(ok);
  EXPECT_EQ(ReadAs<std::int16_t>(*memory, kBase + 0x20, &ok), -1);
  EXPECT_TRUE(ok);

  // Changed from outside, read again: nothing is cached.
  fixture.Put<double>(kBase + 0x10, 290.0);
  EXPECT_EQ(ReadAs<double>(*memory, kBase + 0x10, &ok), 290.0);
}

TEST(ProcessMemoryTest, FailsOnUnmappedAddressesAndAddressZero) {
  test::MemoryFixture fixture(kBase, PageSize());
  auto memory = OpenProcessMemory(fixture.Pid());
  ASSERT_NE(memory, nullptr);
  bool ok = true;
  ReadAs<std::uint32_t>(*memory, 0, &ok);
  EXPECT_FALSE(ok);
  ReadAs<std::uint32_t>(*memory, kBase + static_cast<std::uint32_t>(PageSize()), &ok);
  EXPECT_FALSE(ok);
  // A value that straddles the end of the mapping fails as a whole.
  ReadAs<std::uint32_t>(*memory, kBase + static_cast<std::uint32_t>(PageSize()) - 2, &ok);
  EXPECT_FALSE(ok);
}

// Opening proves itself with one real read; a process that does not exist fails with the reason.
TEST(ProcessMemoryTest, OpeningAProcessThatDoesNotExistFails) {
  OpenFailure failure{"untouched", {}};
  EXPECT_NE(OpenProcessMemory(static_cast<std::uint32_t>(getpid()), &failure), nullptr);
  EXPECT_EQ(failure.reason, "untouched");

  test::MemoryFixture fixture(kBase, PageSize());
  const auto pid = fixture.Pid();
  fixture.Stop();
  EXPECT_EQ(OpenProcessMemory(pid, &failure), nullptr);
  EXPECT_EQ(failure.reason, "no such process");
  EXPECT_EQ(OpenProcessMemory(0, &failure), nullptr);
  EXPECT_EQ(failure.reason, "no such process");
}

#ifndef _WIN32
// What the user is told when the kernel refuses, and the hint that goes with it.
TEST(ProcessMemoryTest, ARefusalSaysWhyAndWhatHelps) {
  struct Case {
    int error;
    bool another_user;
    int ptrace_scope;
    const char* reason;
    const char* hint_start;  // empty: no hint
  };
  const Case cases[] = {
      {EPERM, true, 1, "Operation not permitted (it belongs to another user)", "run velmora as the user"},
      {EACCES, true, -1, "Permission denied (it belongs to another user)", "run velmora as the user"},
      {EPERM, false, 1, "Operation not permitted (kernel.yama.ptrace_scope is 1)",
       "kernel.yama.ptrace_scope 1 lets a process read only"},
      {EPERM, false, 2, "Operation not permitted (kernel.yama.ptrace_scope is 2)",
       "kernel.yama.ptrace_scope 2 lets only"},
      {EPERM, false, 3, "Operation not permitted (kernel.yama.ptrace_scope is 3)",
       "kernel.yama.ptrace_scope 3 forbids"},
      {EPERM, false, 0, "Operation not permitted", ""},
      {EPERM, false, -1, "Operation not permitted", ""},
      {ESRCH, true, 1, "no such process", ""},
      {ENOMEM, false, 0, "it has no memory that can be read (it may be ending)", ""},
  };
  for (const auto& c : cases) {
    const OpenFailure failure = ExplainOpenFailure(c.error, c.another_user, c.ptrace_scope);
    EXPECT_EQ(failure.reason, c.reason);
    EXPECT_EQ(failure.hint.rfind(c.hint_start, 0), 0U) << failure.hint;
    EXPECT_EQ(failure.hint.empty(), *c.hint_start == '\0') << c.reason;
    EXPECT_EQ(failure.not_allowed, c.error == EPERM || c.error == EACCES) << c.reason;
  }
}
#endif

TEST(ProcessMemoryTest, ReadsAfterTheProcessEndedFail) {
  test::MemoryFixture fixture(kBase, PageSize());
  auto memory = OpenProcessMemory(fixture.Pid());
  ASSERT_NE(memory, nullptr);
  fixture.Stop();
  bool ok = true;
  ReadAs<std::uint32_t>(*memory, kBase, &ok);
  EXPECT_FALSE(ok);
}

// Pages: 0 mapped, 1 a hole, 2 mapped. Each request stands or falls on its own, in one call when all are
// readable, and the requests after a failed one are still read.
TEST(ProcessMemoryTest, ReadManyKeepsEachRequestOnItsOwn) {
  const std::size_t page = PageSize();
  test::MemoryFixture fixture(kBase, 3 * page, {page, page});
  const auto page2 = kBase + static_cast<std::uint32_t>(2 * page);
  fixture.Put<std::uint32_t>(kBase, 0x11111111);
  fixture.Put<std::uint32_t>(kBase + 8, 0x22222222);
  fixture.Put<std::uint32_t>(page2, 0x33333333);
  auto memory = OpenProcessMemory(fixture.Pid());
  ASSERT_NE(memory, nullptr);

  struct Case {
    std::uint32_t address;
    bool ok;
    std::uint32_t value;
  };
  const std::vector<Case> cases{
      {kBase, true, 0x11111111},
      {kBase + static_cast<std::uint32_t>(page) + 4, false, 0},  // in the hole
      {0, false, 0},
      {kBase + 8, true, 0x22222222},
      {kBase + static_cast<std::uint32_t>(page) - 2, false, 0},  // runs into the hole
      {page2, true, 0x33333333},
  };
  std::vector<std::uint32_t> values(cases.size(), 0);
  std::vector<ReadRequest> requests;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    requests.push_back({cases[i].address, std::as_writable_bytes(std::span(&values[i], 1))});
  }
  memory->ReadMany(requests);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(requests[i].ok, cases[i].ok);
    if (cases[i].ok) {
      EXPECT_EQ(values[i], cases[i].value);
    }
  }

  // All readable: one system call whatever the number of requests where the system reads many ranges at
  // once, a call per request where it reads one.
  std::array<std::uint32_t, 3> readable{};
  std::vector<ReadRequest> good{{kBase, std::as_writable_bytes(std::span(&readable[0], 1))},
                                {kBase + 8, std::as_writable_bytes(std::span(&readable[1], 1))},
                                {page2, std::as_writable_bytes(std::span(&readable[2], 1))}};
  const auto before = memory->SystemCalls();
  memory->ReadMany(good);
#ifdef _WIN32
  EXPECT_EQ(memory->SystemCalls() - before, good.size());
#else
  EXPECT_EQ(memory->SystemCalls() - before, 1U);
#endif
  EXPECT_EQ(readable, (std::array<std::uint32_t, 3>{0x11111111, 0x22222222, 0x33333333}));
}

}  // namespace
}  // namespace velmora::platform
