#include "update/speed_sampler.h"

void SpeedSampler::Add(float sample) noexcept {
  LockHolder held(lock_);
  if (writeIndex_ == kMaxSamples) writeIndex_ = 0;
  samples_[writeIndex_++] = sample;
  if (count_ < kMaxSamples) ++count_;
}

float SpeedSampler::Average() noexcept {
  LockHolder held(lock_);
  if (count_ == 0) return 0.0f;
  float sum = 0.0f;
  for (std::size_t i = 0; i < count_; ++i) sum += samples_[i];
  return sum / static_cast<float>(count_);
}

void SpeedSampler::Clear() noexcept {
  LockHolder held(lock_);
  writeIndex_ = 0;
  count_ = 0;
}
