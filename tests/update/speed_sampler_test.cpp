#include "update/speed_sampler.h"

#include <gtest/gtest.h>

namespace {

TEST(SpeedSampler, AveragesTheSamplesAdded) {
  SpeedSampler sampler;
  EXPECT_EQ(sampler.Average(), 0.0f);
  sampler.Add(1.0f);
  sampler.Add(2.0f);
  sampler.Add(3.0f);
  EXPECT_FLOAT_EQ(sampler.Average(), 2.0f);
}

TEST(SpeedSampler, KeepsTheLastSixtySamples) {
  SpeedSampler sampler;
  for (int i = 1; i <= 60; ++i) sampler.Add(static_cast<float>(i));
  EXPECT_FLOAT_EQ(sampler.Average(), 30.5f);
  // The 61st takes the place of the first: the mean of 2 to 61.
  sampler.Add(61.0f);
  EXPECT_FLOAT_EQ(sampler.Average(), 31.5f);
  // And the ring goes on round: 3 to 62.
  sampler.Add(62.0f);
  EXPECT_FLOAT_EQ(sampler.Average(), 32.5f);
}

TEST(SpeedSampler, ClearForgetsEverySample) {
  SpeedSampler sampler;
  for (int i = 0; i < 70; ++i) sampler.Add(100.0f);
  sampler.Clear();
  EXPECT_EQ(sampler.Average(), 0.0f);
  sampler.Add(4.0f);
  EXPECT_FLOAT_EQ(sampler.Average(), 4.0f);
}

}  // namespace
