// A second Windows process for the tests: it maps shared memory that the test made at a fixed low
// address, so that the test reads it across the process boundary and changes it from outside.
//
//   velmora_memory_fixture NAME ADDRESS SIZE [HOLE_OFFSET HOLE_SIZE]
//
// With a hole, that part is left out: the memory is mapped as two views around it, so reads there fail.
// Offsets and sizes are multiples of the allocation granularity. Prints "ready <pid>" once mapped and
// exits when its standard input closes.
#include <cstdint>
#include <cstdio>
#include <string>

#include <windows.h>

namespace {

bool MapAt(HANDLE mapping, std::uint64_t address, std::uint64_t offset, std::uint64_t size) {
  if (size == 0) {
    return true;
  }
  void* wanted = reinterpret_cast<void*>(static_cast<std::uintptr_t>(address + offset));
  return MapViewOfFileEx(mapping, FILE_MAP_READ | FILE_MAP_WRITE, static_cast<DWORD>(offset >> 32),
                         static_cast<DWORD>(offset), static_cast<SIZE_T>(size), wanted) == wanted;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: %s NAME ADDRESS SIZE [HOLE_OFFSET HOLE_SIZE]\n", argv[0]);
    return 2;
  }
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, argv[1]);
  if (mapping == nullptr) {
    std::fprintf(stderr, "cannot open the shared memory %s\n", argv[1]);
    return 1;
  }
  const std::uint64_t address = std::stoull(argv[2], nullptr, 0);
  const std::uint64_t size = std::stoull(argv[3], nullptr, 0);
  std::uint64_t hole_offset = size;
  std::uint64_t hole_size = 0;
  if (argc == 6) {
    hole_offset = std::stoull(argv[4], nullptr, 0);
    hole_size = std::stoull(argv[5], nullptr, 0);
  }
  const std::uint64_t after = hole_offset + hole_size;
  if (hole_offset > size || after > size || !MapAt(mapping, address, 0, hole_offset) ||
      !MapAt(mapping, address, after, size - after)) {
    std::fprintf(stderr, "cannot map %s at %s\n", argv[1], argv[2]);
    return 1;
  }
  std::printf("ready %lu\n", GetCurrentProcessId());
  std::fflush(stdout);
  char buffer[64];
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) != FALSE && got > 0) {
  }
  return 0;
}
