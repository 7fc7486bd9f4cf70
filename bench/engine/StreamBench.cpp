// Throughput of the byte ring and of metadata removal, and a count of heap allocations per
// operation (the ring must allocate nothing per append or read).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "engine/ByteQueue.h"
#include "engine/MetadataSplitter.h"

namespace {

std::atomic<uint64_t> g_allocations{0};

}  // namespace

void* operator new(size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace orvel {
namespace {

// Network-sized appends of 2048 bytes; the consumer takes 64 KiB chunks as a decoder does.
void BM_RingAppendAndReadChunk(benchmark::State& state) {
  ByteQueue queue(nullptr);
  queue.allocate(false);
  queue.beginConnection();
  std::vector<uint8_t> packet(2048, 0x5A);
  uint64_t bytes = 0;
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = g_allocations.load();
    while (queue.freeSpace() >= packet.size()) {
      queue.append(packet.data(), static_cast<uint32_t>(packet.size()));
    }
    const uint8_t* data = nullptr;
    uint32_t length = 0;
    queue.ReadChunk(data, length);
    allocations += g_allocations.load() - before;
    benchmark::DoNotOptimize(data);
    bytes += length;
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
  state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_RingAppendAndReadChunk);

// The copying form: reads of `range` bytes.
void BM_RingAppendAndRead(benchmark::State& state) {
  ByteQueue queue(nullptr);
  queue.allocate(false);
  queue.beginConnection();
  std::vector<uint8_t> packet(2048, 0x5A);
  std::vector<uint8_t> out(static_cast<size_t>(state.range(0)));
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = g_allocations.load();
    while (queue.freeSpace() >= packet.size()) {
      queue.append(packet.data(), static_cast<uint32_t>(packet.size()));
    }
    uint32_t got = 0;
    queue.Read(out.data(), static_cast<uint32_t>(out.size()), got);
    allocations += g_allocations.load() - before;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_RingAppendAndRead)->Arg(4096)->Arg(65536);

// A stream with a 32-byte title block after every `range` audio bytes, split in 64 KiB chunks.
void BM_MetadataRemoval(benchmark::State& state) {
  const uint32_t metaint = static_cast<uint32_t>(state.range(0));
  std::vector<uint8_t> wire;
  const std::string title = "StreamTitle='Artist - Song';";
  while (wire.size() < (4u << 20)) {
    wire.insert(wire.end(), metaint, 0x33);
    wire.push_back(2);
    wire.insert(wire.end(), title.begin(), title.end());
    wire.insert(wire.end(), 32 - title.size(), 0);
  }
  uint64_t titles = 0;
  MetadataSplitter splitter([&](std::string_view) { ++titles; });
  splitter.reset(static_cast<int32_t>(metaint));
  std::vector<uint8_t> output(65536);
  const uint32_t chunk = 65536;
  size_t at = 0;
  uint64_t bytes = 0;
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(chunk, wire.size() - at));
    const uint64_t before = g_allocations.load();
    benchmark::DoNotOptimize(splitter.split(wire.data() + at, n, output.data()));
    allocations += g_allocations.load() - before;
    bytes += n;
    at += n;
    if (at == wire.size()) {
      at = 0;
      splitter.reset(static_cast<int32_t>(metaint));
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
  state.counters["titles"] = static_cast<double>(titles);
  state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_MetadataRemoval)->Arg(8192)->Arg(16000)->Arg(512);

}  // namespace
}  // namespace orvel
