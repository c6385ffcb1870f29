// A second process for the tests: it maps a file the test shares with it at a fixed low address, so that
// the test reads it across the process boundary and changes it from outside through the same file.
//
//   velmora-memory-fixture FILE ADDRESS [HOLE_OFFSET HOLE_SIZE]
//
// With a hole, that page-aligned part of the mapping is unmapped again so that reads there fail.
// Prints "ready <pid>" once mapped and exits when its standard input closes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: %s FILE ADDRESS [HOLE_OFFSET HOLE_SIZE]\n", argv[0]);
    return 2;
  }
  const int fd = open(argv[1], O_RDWR);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  const auto address = std::stoull(argv[2], nullptr, 0);
  void* wanted = reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
  void* mapped = mmap(wanted, static_cast<std::size_t>(info.st_size), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_FIXED_NOREPLACE, fd, 0);
  if (mapped != wanted) {
    std::fprintf(stderr, "cannot map %s at %s\n", argv[1], argv[2]);
    return 1;
  }
  if (argc == 5) {
    const auto hole_offset = std::stoull(argv[3], nullptr, 0);
    const auto hole_size = std::stoull(argv[4], nullptr, 0);
    munmap(static_cast<char*>(mapped) + hole_offset, hole_size);
  }
#ifdef PR_SET_PTRACER
  prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
#endif
  std::printf("ready %d\n", static_cast<int>(getpid()));
  std::fflush(stdout);
  char buffer[64];
  while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
  }
  return 0;
}
