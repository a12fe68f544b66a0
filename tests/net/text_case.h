#pragma once
// A table row for an operation that turns one Text into another.
#include "common/text.h"

struct TextCase {
  const char* name;
  Text input;
  Text expected;
};
