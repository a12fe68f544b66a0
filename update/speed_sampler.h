#pragma once
// The last 60 speed samples and their mean. Add and Average may be called
// from several threads at once.

#include <array>
#include <cstddef>

#include "update/critical_section_lock.h"

class SpeedSampler {
 public:
  static constexpr std::size_t kMaxSamples = 60;

  // Once the ring is full, each sample takes the place of the oldest one.
  void Add(float sample) noexcept;
  // The mean of the samples held; 0 before the first Add.
  [[nodiscard]] float Average() noexcept;
  // Forgets every sample.
  void Clear() noexcept;

 private:
  CriticalSectionLock lock_;
  std::array<float, kMaxSamples> samples_{};
  std::size_t writeIndex_ = 0;
  std::size_t count_ = 0;
};
