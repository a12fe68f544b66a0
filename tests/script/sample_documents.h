#pragma once
// Documents shared by the script tests and the script benchmark.

#include <string>

#include "common/text.h"

// A version manifest of the usual size.
inline constexpr char kSampleManifest[] =
    "{\"Click\":{\"version\":\"1.0\",\"update\":\"修复若干问题\",\"download\":\"http://127.0.0.1/a.exe\","
    "\"Support\":true,\"list\":[1,2],\"none\":null}}";

// {"items":[...]} of at least `bytes` bytes: objects with numbers, Chinese
// text, escapes, booleans and nulls. count receives the number of items.
inline Text LargeDocument(std::size_t bytes, int& count) {
  Text text = "{\"items\":[";
  count = 0;
  while (text.size() < bytes) {
    if (count) text += ',';
    const std::string n = std::to_string(count);
    text += "{\"id\":" + n + ",\"name\":\"项目" + n + "\",\"value\":" + n +
            ".25e-1,\"tags\":[\"a\",\"b\\\\c\",\"d\\\"e\"],\"ok\":true,\"none\":null}";
    ++count;
  }
  return text + "]}";
}

// Arrays nested depth levels deep.
inline Text NestedArrays(std::size_t depth) { return Text(depth, '[') + Text(depth, ']'); }
