// A simulator executable keeps its data inside its own image, at addresses fixed when it was linked.
// velmora-sim.exe does the same: it is linked at the image base 0x400000 with a zero-filled section
// right after the headers that covers every address table's data, and hands out parts of that
// section. (A fixed VirtualAlloc at these low addresses fails under Wine, which keeps them for itself.)
#include <algorithm>
#include <atomic>
#include <cstdint>

#include "sim_memory.h"

// The section: uninitialised ("b"), so it costs no bytes in the file. The linker script places it.
#define VELMORA_STRINGIFY2(x) #x
#define VELMORA_STRINGIFY(x) VELMORA_STRINGIFY2(x)
asm(".section .simdata,\"bw\"\n"
    ".globl velmora_sim_image_data\n"
    "velmora_sim_image_data:\n"
    ".space " VELMORA_STRINGIFY(VELMORA_SIM_IMAGE_DATA_SIZE) "\n"
    ".text\n");
extern "C" std::byte velmora_sim_image_data[];

namespace velmora::sim {

namespace {

// One section, so one reservation at a time, as two mappings cannot share an address.
std::atomic<bool> g_reserved{false};

}  // namespace

std::unique_ptr<SimMemory> SimMemory::Reserve(std::uint32_t begin, std::uint32_t end, std::string& error) {
  constexpr std::uint64_t kPage = 4096;
  const auto pages = PagesCovering(begin, end, kPage, error);
  if (!pages) {
    return nullptr;
  }
  const auto [first, last, range] = *pages;
  const auto section_begin = reinterpret_cast<std::uintptr_t>(velmora_sim_image_data);
  const std::uintptr_t section_end = section_begin + VELMORA_SIM_IMAGE_DATA_SIZE;
  if (first < section_begin || last > section_end) {
    error = "address range " + range + " lies outside the image's data section " + HexAddress(section_begin) +
            " - " + HexAddress(section_end) + " (is the executable linked at its fixed image base?)";
    return nullptr;
  }
  if (g_reserved.exchange(true)) {
    error = "address range " + range + " is already in use";
    return nullptr;
  }
  std::byte* base = velmora_sim_image_data + (first - section_begin);
  // A new session starts from zeroed memory, as a fresh mapping does.
  std::fill(base, base + (last - first), std::byte{0});
  return std::unique_ptr<SimMemory>(
      new SimMemory(base, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last)));
}

SimMemory::~SimMemory() {
  g_reserved.store(false);
}

}  // namespace velmora::sim
