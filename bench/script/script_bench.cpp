// Times the script-engine objects under the system's COM components, each
// beside a peer in the same run:
//   manifest check   JsonDocument created, Parse, four GetText reads, gone;
//                    peer: the old parse, which spliced the document into
//                    script source and evaluated it (no check)
//   charset search   RegexObject created, Search over 1024 bytes, group 1 of
//                    match 1, gone; peer: std::regex (ECMAScript, icase)
//   1 MB parse       Parse of a 1 MB document; peers: the splice-and-eval
//                    parse, and the engine's JSON.parse (text passed as data)
//   bad input        5 MB document, 10,000-deep arrays (refused), deepest
//                    accepted nesting written back as JSON
// Prints median, p99 and max in ms per operation, and "RESULT name runs
// median p99 max" lines for scripts.
//   script_bench.exe [scale]   scale divides the run counts (default 1)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "script/com_text.h"
#include "script/json_document.h"
#include "script/json_syntax.h"
#include "script/regex_object.h"
#include "tests/script/sample_documents.h"

namespace {

const Text kCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static const double frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

struct Figures {
  double median = 0, p99 = 0, max = 0;
};

// Runs operation `runs` times after one warm-up; false from the operation
// (a wrong result) stops the benchmark.
Figures Measure(const char* name, int runs, const std::function<bool()>& operation) {
  if (!operation()) {
    std::printf("%s: wrong result\n", name);
    std::exit(1);
  }
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    const bool ok = operation();
    QueryPerformanceCounter(&end);
    if (!ok) {
      std::printf("%s: wrong result in run %d\n", name, i);
      std::exit(1);
    }
    times.push_back(Milliseconds(start, end));
  }
  std::sort(times.begin(), times.end());
  Figures f;
  f.median = times[times.size() / 2];
  f.p99 = times[std::min(times.size() - 1, static_cast<std::size_t>(times.size() * 0.99))];
  f.max = times.back();
  std::printf("  %-44s %5d runs  median %9.3f  p99 %9.3f  max %9.3f ms\n", name, runs, f.median, f.p99, f.max);
  std::printf("RESULT %s %d %.3f %.3f %.3f\n", name, runs, f.median, f.p99, f.max);
  std::fflush(stdout);
  return f;
}

void Ratio(const char* what, const Figures& ours, const Figures& peer) {
  std::printf("  %-44s median ours/peer %.2f\n\n", what, ours.median / peer.median);
}

// The old parse, step for step: creation made an engine and the parse a
// second one, into which the text went as script source.
template <typename Use>
bool SplicedParse(const Text& text, Use use) {
  { JsonDocument created; }
  JsonDocument document;
  const UniqueVariant code = AnsiVariant("var da = eval(" + text + ")");
  return SUCCEEDED(CallMethod(document.GetEngine().get(), L"AddCode", {&code}, nullptr)) && use(document);
}

bool ReadManifest(JsonDocument& document) {
  return document.GetText("Click.version") == "1.0" && !document.GetText("Click.update").empty() &&
         !document.GetText("Click.download").empty() && document.GetText("Click.Support") == "true";
}

// JSON.parse of the engine, with the text handed over as an argument.
bool EngineJsonParse(JsonDocument& document, const Text& text) {
  const ComPtr<IDispatch> code = PropertyObject(document.GetEngine().get(), L"CodeObject");
  const ComPtr<IDispatch> json = PropertyObject(code.get(), L"JSON");
  const UniqueVariant argument = AnsiVariant(text);
  UniqueVariant result;
  return SUCCEEDED(CallMethod(json.get(), L"parse", {&argument}, &result)) && result.type() == VT_DISPATCH;
}

Text CharsetSubject() {
  Text head = "<!DOCTYPE html><html lang=\"zh-CN\"><head><title>飞梭助手 下载</title>";
  while (head.size() < 900) head += "<link rel=\"stylesheet\" href=\"/static/site.css\">";
  head += "<META http-equiv=\"Content-Type\" content=\"text/html; CHARSET=gbk\">";
  head.resize(1024, ' ');
  return head;
}

}  // namespace

int main(int argc, char** argv) {
  const int scale = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
  auto runs = [scale](int n) { return std::max(3, n / scale); };
  ComApartment apartment;

  std::printf("manifest check (%zu bytes): create, Parse, 4 x GetText, destroy\n", sizeof kSampleManifest - 1);
  const Text manifest = kSampleManifest;
  const Figures manifestOurs = Measure("manifest_check_ours", runs(200), [&] {
    JsonDocument document;
    ScriptErrorRecord record;
    return document.Parse(manifest, false, &record) && ReadManifest(document);
  });
  const Figures manifestPeer = Measure("manifest_check_spliced_eval", runs(200), [&] {
    return SplicedParse(manifest, ReadManifest);
  });
  Ratio("manifest check", manifestOurs, manifestPeer);

  std::printf("charset search over 1024 bytes: create, Search, GetSubmatch(1, 1), destroy\n");
  const Text subject = CharsetSubject();
  const Figures searchOurs = Measure("charset_search_ours", runs(1000), [&] {
    RegexObject regex;
    return regex.Search(kCharsetPattern, subject) && regex.GetSubmatch(1, 1) == "gbk";
  });
  const Figures searchPeer = Measure("charset_search_std_regex", runs(1000), [&] {
    const std::regex pattern(kCharsetPattern, std::regex::ECMAScript | std::regex::icase);
    std::smatch match;
    return std::regex_search(subject, match, pattern) && match[1] == "gbk";
  });
  Ratio("charset search", searchOurs, searchPeer);

  int items = 0;
  const Text megabyte = LargeDocument(1024 * 1024, items);
  std::printf("1 MB parse (%zu bytes, %d items): create, Parse, ArrayLength, destroy\n", megabyte.size(), items);
  const Figures parseOurs = Measure("parse_1mb_ours", runs(15), [&] {
    JsonDocument document;
    return document.Parse(megabyte) && document.ArrayLength("items") == items;
  });
  const Figures parsePeer = Measure("parse_1mb_spliced_eval", runs(15), [&] {
    return SplicedParse(megabyte, [&](JsonDocument& document) { return document.ArrayLength("items") == items; });
  });
  Ratio("1 MB parse vs spliced eval", parseOurs, parsePeer);
  const Figures parseData = Measure("parse_1mb_engine_json_parse", runs(3), [&] {
    JsonDocument document;
    return EngineJsonParse(document, megabyte);
  });
  Ratio("1 MB parse vs engine JSON.parse", parseOurs, parseData);
  Measure("check_1mb_syntax_only", runs(50), [&] {
    const UniqueVariant text = AnsiVariant(megabyte);
    return !FindJsonSyntaxError(VariantUnits(text)).has_value();
  });

  std::printf("\nbad input\n");
  int bigItems = 0;
  const Text fiveMegabytes = LargeDocument(5 * 1024 * 1024, bigItems);
  Measure("parse_5mb", runs(5), [&] {
    JsonDocument document;
    return document.Parse(fiveMegabytes) && document.ArrayLength("items") == bigItems;
  });
  const Text tooDeep = NestedArrays(10000);
  Measure("parse_10000_deep_refused", runs(50), [&] {
    JsonDocument document;
    ScriptErrorRecord record;
    return !document.Parse(tooDeep, false, &record) && !record.text.empty();
  });
  const Text deepest = NestedArrays(kMaxJsonDepth);
  Measure("parse_and_write_deepest_accepted", runs(50), [&] {
    JsonDocument document;
    return document.Parse(deepest) && document.ToJsonText() == deepest;
  });
  return 0;
}
