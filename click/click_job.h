#pragma once
// The five click settings, as typed; they become numbers only when a run uses them.

#include <cstdint>

#include "common/text.h"

struct ClickJob {
  Text intervalText = "1000";  // milliseconds after each click
  Text countText = "100000";
  std::int32_t buttonCode = 0;  // 0 left, 1 left double, 2 right; others click nothing
  Text xText = "-1";            // exactly "-1": the cursor's X at each click
  Text yText = "-1";            // exactly "-1": the cursor's Y at each click
};
