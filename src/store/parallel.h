// Work cut into parts that run at the same time, one thread per processor.
#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace tessaro::store {

// How many parts to cut `bytes` of work into: one per processor, each of at
// least `least` bytes, since a thread costs about as much to start as a
// tenth of a megabyte costs to read; at most eight.
inline unsigned partsFor(std::size_t bytes, std::size_t least = std::size_t(1) << 20) {
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  return unsigned(std::clamp<std::size_t>(bytes / least, 1, std::min(processors, 8u)));
}

// Runs work(k) for every k below `parts`: the first on the calling thread,
// each other on a thread of its own. Returns when all are done, and then
// throws again what the lowest k that threw had thrown.
template <class Work>
void inParallel(unsigned parts, Work&& work) {
  std::vector<std::exception_ptr> thrown(parts);
  auto run = [&work, &thrown](unsigned k) {
    try {
      work(k);
    } catch (...) {
      thrown[k] = std::current_exception();
    }
  };
  std::vector<std::thread> others;
  others.reserve(parts > 0 ? parts - 1 : 0);
  for (unsigned k = 1; k < parts; ++k) {
    try {
      others.emplace_back(run, k);
    } catch (const std::system_error&) {
      run(k);  // no thread to be had: the part runs here
    }
  }
  if (parts > 0) run(0u);
  for (std::thread& t : others) t.join();
  for (const std::exception_ptr& e : thrown) {
    if (e) std::rethrow_exception(e);
  }
}

}  // namespace tessaro::store
