#pragma once
// Every allocation of a benchmark program counted, for its peak-memory goals:
// operator new and delete are replaced, and the malloc-style functions below
// can be handed to a C library (libxml2's xmlMemSetup). The replacements are
// definitions: include this header in one source file of a program only.
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace counted_heap {

inline std::atomic<long long> liveBytes{0};
inline std::atomic<long long> peakBytes{0};

inline void* counted(void* p) {
  if (!p) return p;
  const long long live = liveBytes += static_cast<long long>(malloc_usable_size(p));
  long long peak = peakBytes.load();
  while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
  }
  return p;
}

// Kept out of line: inlined into operator delete, its free() would look to the
// compiler like the release of memory from operator new.
[[gnu::noinline]] inline void uncounted(void* p) {
  if (!p) return;
  liveBytes -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}

inline void* countedMalloc(std::size_t size) { return counted(std::malloc(size == 0 ? 1 : size)); }

inline void* countedRealloc(void* p, std::size_t size) {
  const long long before = p ? static_cast<long long>(malloc_usable_size(p)) : 0;
  void* q = std::realloc(p, size == 0 ? 1 : size);
  if (!q) return q;
  liveBytes -= before;
  return counted(q);
}

inline char* countedStrdup(const char* s) {
  const std::size_t n = std::strlen(s) + 1;
  auto* copy = static_cast<char*>(countedMalloc(n));
  if (copy) std::memcpy(copy, s, n);
  return copy;
}

// The peak of what is allocated from its start on, above what was live then.
class PeakSince {
 public:
  PeakSince() : before_(liveBytes.load()) { peakBytes = before_; }
  double bytes() const { return static_cast<double>(peakBytes.load() - before_); }

 private:
  long long before_;
};

}  // namespace counted_heap

void* operator new(std::size_t size) {
  void* p = counted_heap::countedMalloc(size);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { counted_heap::uncounted(p); }
void operator delete[](void* p) noexcept { counted_heap::uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { counted_heap::uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { counted_heap::uncounted(p); }
