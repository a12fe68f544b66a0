// JsonDocument against the system's script control.
#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "script/com_text.h"
#include "script/json_document.h"
#include "tests/script/sample_documents.h"

namespace {

const Text kManifest = kSampleManifest;

// Evaluates a script expression in the document's engine.
Text EngineEval(const JsonDocument& document, const Text& script) {
  const UniqueVariant code = AnsiVariant(script);
  UniqueVariant result;
  if (FAILED(CallMethod(document.GetEngine().get(), L"Eval", {&code}, &result))) return "<failed>";
  return VariantAnsi(result);
}

struct ParseCase {
  std::string name;
  Text text;
  bool parses;
  Text rootJson;  // ToJsonText afterwards
};

class JsonParse : public testing::TestWithParam<ParseCase> {};

TEST_P(JsonParse, BothFormsReadOnlyJson) {
  for (const bool direct : {false, true}) {
    SCOPED_TRACE(direct ? "assigned directly" : "default form");
    JsonDocument document;
    ScriptErrorRecord record;
    record.text = "stale";
    EXPECT_EQ(document.Parse(GetParam().text, direct, &record), GetParam().parses);
    EXPECT_EQ(document.ToJsonText(), GetParam().rootJson);
    // Only text that is not JSON leaves an error text.
    const bool json = GetParam().parses || GetParam().text == "null";
    EXPECT_EQ(record.text.empty(), json) << record.text;
    EXPECT_EQ(record.number == 0, json);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonParse,
    testing::Values(
        ParseCase{"empty_object", "{}", true, "{}"},
        ParseCase{"top_level_null", "null", false, "null"},
        ParseCase{"array", "[1,2]", true, "[1,2]"},
        ParseCase{"zero", "0", true, "0"},
        ParseCase{"false", "false", true, "false"},
        ParseCase{"string", "\"x\"", true, "\"x\""},
        ParseCase{"chinese_and_spaces", " {\r\n \"名称\" : [ \"飞梭\" , -0.5e1 ] } ", true, "{\"名称\":[\"飞梭\",-5]}"},
        ParseCase{"escapes", "[\"\\\"\\/\\t\\u0041\"]", true, "[\"\\\"/\\tA\"]"},
        ParseCase{"not_script", "{version:1.0}", false, "null"},
        ParseCase{"not_anything", "<html>404</html>", false, "null"},
        ParseCase{"empty_text", "", false, "null"},
        ParseCase{"trailing_comma", "[1,2,]", false, "null"}),
    CaseName());

TEST(JsonDocument, FailedParseEmptiesEveryRead) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(kManifest));
  ScriptErrorRecord record;
  EXPECT_FALSE(document.Parse("{\"Click\":{\"version\":\"1.0\"", false, &record));
  EXPECT_EQ(document.GetText("Click.version"), "");
  EXPECT_EQ(document.GetText(), "");
  EXPECT_EQ(document.ValueKind(), 0);
  EXPECT_EQ(record.line, 1);
  EXPECT_EQ(record.column, 25);
  EXPECT_EQ(record.description, record.text);
  EXPECT_NE(record.text.find("第 1 行"), Text::npos) << record.text;
}

TEST(JsonDocument, NewDocumentHoldsAnEmptyObject) {
  JsonDocument document;
  EXPECT_EQ(document.ToJsonText(), "{}");
  EXPECT_TRUE(document.Exists());
  EXPECT_EQ(document.ValueKind(), 4);
}

struct ReadCase {
  std::string name;
  Text document;
  Text path;
  bool asJson;
  Text expected;
};

class JsonRead : public testing::TestWithParam<ReadCase> {};

TEST_P(JsonRead, GetText) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(GetParam().document));
  EXPECT_EQ(document.GetText(GetParam().path, GetParam().asJson), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonRead,
    testing::Values(
        ReadCase{"version_string", kManifest, "Click.version", false, "1.0"},
        ReadCase{"version_number", "{\"Click\":{\"version\":1.0}}", "Click.version", false, "1"},
        ReadCase{"fraction", "{\"Click\":{\"version\":1.5}}", "Click.version", false, "1.5"},
        ReadCase{"boolean", kManifest, "Click.Support", false, "true"},
        ReadCase{"chinese_text", kManifest, "Click.update", false, "修复若干问题"},
        ReadCase{"object", kManifest, "Click", false, "[object Object]"},
        ReadCase{"array_joined", kManifest, "Click.list", false, "1,2"},
        ReadCase{"absolute_path", kManifest, "da.Click.version", false, "1.0"},
        ReadCase{"bracket_path", kManifest, "Click['version']", false, "1.0"},
        ReadCase{"missing_member", kManifest, "Click.missing", false, ""},
        ReadCase{"missing_parent", kManifest, "Nope.version", false, ""},
        ReadCase{"null_member", kManifest, "Click.none", false, ""},
        ReadCase{"broken_path", kManifest, "Click.(", false, ""},
        ReadCase{"json_of_string", kManifest, "Click.version", true, "\"1.0\""},
        ReadCase{"json_of_object", "{\"a\":{\"b\":[true,null]}}", "a", true, "{\"b\":[true,null]}"},
        ReadCase{"json_of_missing", kManifest, "Click.missing", true, ""}),
    CaseName());

TEST(JsonDocument, ArrayAtTheRoot) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("[1,2]"));
  EXPECT_EQ(document.ArrayLength(), 2);
  EXPECT_EQ(document.ArrayLength("[0]"), 0);
  // Numbers have no replace method: the plain form reads strings only.
  EXPECT_EQ(document.GetElementText(0), "");
  EXPECT_EQ(document.GetElementText(0, "", true), "1");
  EXPECT_EQ(document.GetElementText(1, "", true), "2");
  EXPECT_EQ(document.GetElementText(2, "", true), "");
  ASSERT_TRUE(document.Parse("{\"a\":[\"x\",\"y\"]}"));
  EXPECT_EQ(document.GetElementText(1, "a"), "y");
  EXPECT_EQ(document.ArrayLength("a"), 2);
}

struct ResolveCase {
  std::string name;
  Text path;
  Text resolved;
  bool exists;
};

class JsonResolvePath : public testing::TestWithParam<ResolveCase> {};

TEST_P(JsonResolvePath, MakesPathsAbsolute) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"Click\":{\"v\":1},\"data\":null,\"z\":0}"));
  Text path = GetParam().path;
  EXPECT_EQ(document.ResolvePath(path), GetParam().exists);
  EXPECT_EQ(path, GetParam().resolved);
  EXPECT_EQ(document.Exists(GetParam().path), GetParam().exists);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonResolvePath,
    testing::Values(
        ResolveCase{"absolute_existing", "da.Click", "da.Click", true},
        ResolveCase{"name_prefix_is_not_absolute", "data.x", "da.data.x", false},
        ResolveCase{"subscript", "[0]", "da[0]", false},
        ResolveCase{"empty_is_root", "", "da", true},
        ResolveCase{"relative", "Click.v", "da.Click.v", true},
        ResolveCase{"zero_exists", "z", "da.z", true},
        ResolveCase{"null_member", "data", "da.data", false}),
    CaseName());

struct KindCase {
  std::string name;
  Text path;
  std::int32_t kind;
};

class JsonValueKind : public testing::TestWithParam<KindCase> {};

TEST_P(JsonValueKind, ClassifiesValues) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"s\":\"x\",\"a\":[],\"o\":{},\"n\":0,\"b\":false,\"z\":null}"));
  EXPECT_EQ(document.ValueKind(GetParam().path), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonValueKind,
    testing::Values(KindCase{"string", "s", 6}, KindCase{"array", "a", 5}, KindCase{"object", "o", 4},
                    KindCase{"number", "n", 2}, KindCase{"boolean", "b", 1}, KindCase{"null", "z", 0},
                    KindCase{"missing_member", "q", 0}, KindCase{"missing_parent", "q.r", -1},
                    KindCase{"broken_path", "s.(", -1}, KindCase{"root", "", 4}),
    CaseName());

TEST(JsonDocument, BackslashesSurviveTextValues) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"parsed\":\"a\\\\b\"}"));
  const Text path = "C:\\新建\\new";
  ASSERT_TRUE(document.SetValue("p", path));
  EXPECT_EQ(document.GetText("p"), path);
  // Stored backslashes come out unescaped; parsed ones are JSON escapes.
  EXPECT_EQ(document.ToJsonText(), "{\"parsed\":\"a\\\\b\",\"p\":\"C:\\新建\\new\"}");
  EXPECT_EQ(document.GetText("p", true), "\"C:\\新建\\new\"");
  EXPECT_EQ(document.GetText("parsed"), "a\\b");
  std::vector<Text> leaves;
  ASSERT_EQ(document.LeafValues(leaves), 2);
  EXPECT_EQ(leaves[1], path);
}

TEST(JsonDocument, TextValuesAreStoredVerbatim) {
  JsonDocument document;
  // Quotes, line ends, and a double-byte character whose second byte is a
  // backslash ("乗" is 0x81 0x5C).
  const Text value = "it's \"q\"\r\n乗x\\";
  ASSERT_TRUE(document.SetValue("v", value));
  EXPECT_EQ(document.GetText("v"), value);
  ASSERT_TRUE(document.SetValue("", "整个文档"));
  EXPECT_EQ(document.GetText(), "整个文档");
  EXPECT_EQ(document.ValueKind(), 6);
}

TEST(JsonDocument, LeafValuesRecursiveOrNot) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"a\":1,\"b\":{\"c\":\"x\",\"n\":null},\"d\":[true,[2]]}"));
  std::vector<Text> leaves{"old"};
  EXPECT_EQ(document.LeafValues(leaves), 1);
  EXPECT_EQ(leaves, (std::vector<Text>{"1"}));
  EXPECT_EQ(document.LeafValues(leaves, "", true), 4);
  EXPECT_EQ(leaves, (std::vector<Text>{"1", "x", "true", "2"}));
  EXPECT_EQ(document.LeafValues(leaves, "b"), 1);
  EXPECT_EQ(leaves, (std::vector<Text>{"x"}));
  EXPECT_EQ(document.LeafValues(leaves, "missing"), 0);
  EXPECT_TRUE(leaves.empty());
}

TEST(JsonDocument, MemberNamesLeaveOutTheLibraryAdditions) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"b\":1,\"a\":{\"c\":2},\"f\":null,\"中\":\"\"}"));
  // The JSON part adds two enumerable functions to every object.
  EXPECT_EQ(EngineEval(document, "var n = 0; for (var k in {}) n++; n"), "2");
  std::vector<Text> names{"old"};
  EXPECT_EQ(document.MemberNames(names), 4);
  EXPECT_EQ(names, (std::vector<Text>{"b", "a", "f", "中"}));
  EXPECT_EQ(document.MemberNames(names, "a"), 1);
  EXPECT_EQ(document.MemberNames(names, "b"), 0);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(document.MemberNames(names, "missing"), 0);
  ASSERT_TRUE(document.Parse("[{\"x\":1}]"));
  EXPECT_EQ(document.MemberNames(names), 0);
  EXPECT_EQ(document.MemberNames(names, "[0]"), 1);
}

TEST(JsonDocument, RoundTripOfChanges) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(
      "{\"Click\":{\"version\":\"1.0\",\"Support\":true,\"list\":[1,2],\"old\":\"x\"},\"n\":[3,4,5]}"));
  EXPECT_TRUE(document.SetValue("Click.version", "1.1"));
  EXPECT_TRUE(document.SetValue("Click.note", "说明"));
  EXPECT_TRUE(document.SetNumber("Click.size", 2.5));
  EXPECT_TRUE(document.SetNumber("Click.zero", 0));
  EXPECT_TRUE(document.ArrayAppend("3", "Click.list", true));
  EXPECT_TRUE(document.ArrayAppend("x", "Click.list"));
  EXPECT_TRUE(document.ArrayAppend("0", "Click.list", true, true));
  EXPECT_TRUE(document.ArrayAppend("first", "fresh"));
  EXPECT_TRUE(document.SetElement(1, "n", "{\"k\":[]}", true));
  EXPECT_TRUE(document.SetElement(2, "n", "五"));
  EXPECT_TRUE(document.RemoveElement(0, "n"));
  EXPECT_TRUE(document.Remove("Click.old"));
  EXPECT_EQ(document.ToJsonText(),
            "{\"Click\":{\"version\":\"1.1\",\"Support\":true,\"list\":[0,1,2,3,\"x\"],\"note\":\"说明\","
            "\"size\":2.5,\"zero\":0},\"n\":[{\"k\":[]},\"五\"],\"fresh\":[\"first\"]}");
  EXPECT_EQ(document.GetNumber("Click.size"), 2.5);
  EXPECT_EQ(document.GetNumber("Click.version"), 1.1);
  EXPECT_EQ(document.GetNumber("Click.missing"), 0);
  // The text read back parses to the same document.
  JsonDocument again;
  ASSERT_TRUE(again.Parse(document.ToJsonText()));
  EXPECT_EQ(again.ToJsonText(), document.ToJsonText());
}

TEST(JsonDocument, NumbersKeepTheirValue) {
  JsonDocument document;
  for (const double number : {0.1, -1e-7, 1e21, 123456789.125, -0.0}) {
    ASSERT_TRUE(document.SetNumber("x", number));
    EXPECT_EQ(document.GetNumber("x"), number);
  }
  ASSERT_TRUE(document.SetNumber("x", std::numeric_limits<double>::quiet_NaN()));
  ASSERT_TRUE(document.SetNumber("y", -std::numeric_limits<double>::infinity()));
  EXPECT_EQ(document.ToJsonText(), "{\"x\":null,\"y\":null}");
}

TEST(JsonDocument, CodeValuesMergeIntoObjects) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("{\"c\":{\"v\":\"1.0\",\"n\":1,\"o\":{\"x\":1},\"z\":null,\"a\":[1]},\"s\":\"t\"}"));
  EXPECT_TRUE(document.SetValue("c", "{\"v\":\"2\",\"n\":2,\"o\":{\"y\":2},\"z\":{\"q\":1},\"a\":[2],\"new\":true}",
                                true));
  EXPECT_EQ(document.GetJsonText("c"),
            "{\"v\":\"2\",\"n\":2,\"o\":{\"x\":1,\"y\":2},\"z\":{\"q\":1},\"a\":[1,2],\"new\":true}");
  // Anything but an existing object is replaced.
  EXPECT_TRUE(document.SetValue("s", "[1,{\"b\":2}]", true));
  EXPECT_EQ(document.GetJsonText("s"), "[1,{\"b\":2}]");
  EXPECT_TRUE(document.SetFromCode("t", "1+2"));
  EXPECT_EQ(document.GetText("t"), "3");
  // An empty value merges nothing into an object.
  EXPECT_TRUE(document.SetValue("c.o", "", true));
  EXPECT_EQ(document.GetJsonText("c.o"), "{\"x\":1,\"y\":2}");
}

struct BrokenCase {
  std::string name;
  bool (*operation)(JsonDocument&);
};

class JsonBrokenScript : public testing::TestWithParam<BrokenCase> {};

TEST_P(JsonBrokenScript, FailsAndChangesNothing) {
  JsonDocument document;
  const Text original = "{\"a\":[\"x\"],\"b\":{\"c\":1}}";
  ASSERT_TRUE(document.Parse(original));
  EXPECT_FALSE(GetParam().operation(document));
  EXPECT_EQ(document.ToJsonText(), original);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonBrokenScript,
    testing::Values(
        BrokenCase{"set_value_bad_path", [](JsonDocument& d) { return d.SetValue("b c", "x"); }},
        BrokenCase{"set_value_missing_parent", [](JsonDocument& d) { return d.SetValue("q.r", "x"); }},
        BrokenCase{"set_code_bad_value", [](JsonDocument& d) { return d.SetValue("b", "{\"c\":", true); }},
        BrokenCase{"set_from_code_bad", [](JsonDocument& d) { return d.SetFromCode("b", "1+"); }},
        BrokenCase{"set_element_quote", [](JsonDocument& d) { return d.SetElement(0, "a", "it's"); }},
        BrokenCase{"append_quote", [](JsonDocument& d) { return d.ArrayAppend("it's", "a"); }},
        BrokenCase{"append_bad_path", [](JsonDocument& d) { return d.ArrayAppend("x", "a)"); }},
        BrokenCase{"set_number_bad_path", [](JsonDocument& d) { return d.SetNumber("b..c", 1); }},
        BrokenCase{"remove_bad_path", [](JsonDocument& d) { return d.Remove("b["); }},
        BrokenCase{"remove_element_of_object", [](JsonDocument& d) { return d.RemoveElement(0, "b"); }}),
    CaseName());

TEST(JsonDocument, SubDocumentsAreIndependentCopies) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse(kManifest));
  ASSERT_TRUE(document.SetValue("Click.path", "C:\\dir"));
  JsonDocument click = document.GetSubDocument("Click");
  EXPECT_EQ(click.GetText("version"), "1.0");
  EXPECT_EQ(click.GetText("path"), "C:\\dir");
  ASSERT_TRUE(click.SetValue("version", "9"));
  EXPECT_EQ(document.GetText("Click.version"), "1.0");
  JsonDocument second = document.GetElementDocument(1, "Click.list");
  EXPECT_EQ(second.GetText(), "2");
  JsonDocument missing = document.GetSubDocument("Click.missing");
  EXPECT_FALSE(missing.Exists());
  EXPECT_EQ(missing.GetText(), "");
}

TEST(JsonDocument, CopySharesTheEngineUntilItParses) {
  auto original = std::make_unique<JsonDocument>();
  ASSERT_TRUE(original->Parse(kManifest));
  JsonDocument copy(*original);
  ASSERT_TRUE(copy.SetValue("Click.version", "2.0"));
  EXPECT_EQ(original->GetText("Click.version"), "2.0");
  EXPECT_EQ(copy.GetEngine().get(), original->GetEngine().get());
  ASSERT_TRUE(copy.Parse("{\"x\":1}"));
  EXPECT_NE(copy.GetEngine().get(), original->GetEngine().get());
  EXPECT_EQ(original->GetText("Click.version"), "2.0");
  original.reset();
  EXPECT_EQ(copy.GetText("x"), "1");
}

TEST(JsonDocument, ComInitialisationIsBalanced) {
  {
    JsonDocument document;
    ASSERT_TRUE(document.Parse("{}"));
    ASSERT_TRUE(document.Parse("[]"));
    JsonDocument copy(document);
    JsonDocument sub = copy.GetSubDocument();
  }
  const HRESULT probe = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(probe, S_OK);
  if (SUCCEEDED(probe)) ::CoUninitialize();
}

struct EngineJsonCase {
  std::string name;
  Text script;
  Text expected;
};

class EngineJson : public testing::TestWithParam<EngineJsonCase> {};

// The engine's JSON object behaves as the public-domain json2 script does.
TEST_P(EngineJson, Evaluates) {
  JsonDocument document;
  EXPECT_EQ(EngineEval(document, GetParam().script), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EngineJson,
    testing::Values(
        EngineJsonCase{"stringify_values",
                       "JSON.stringify({a:[1,'x',null,true,undefined,function(){}],u:undefined,f:function(){},"
                       "n:NaN,d:new Date(0)})",
                       "{\"a\":[1,\"x\",null,true,null,null],\"n\":null,\"d\":\"1970-01-01T00:00:00Z\"}"},
        EngineJsonCase{"stringify_escapes", "JSON.stringify('\"\\\\\\b\\f\\n\\r\\t\\x01\\x7f\\u2028')",
                       "\"\\\"\\\\\\b\\f\\n\\r\\t\\u0001\\u007f\\u2028\""},
        EngineJsonCase{"stringify_indent", "JSON.stringify({a:[1],b:{}}, null, 2)",
                       "{\n  \"a\": [\n    1\n  ],\n  \"b\": {}\n}"},
        EngineJsonCase{"stringify_member_list", "JSON.stringify({a:1,b:2,c:3}, ['c','a'])", "{\"c\":3,\"a\":1}"},
        EngineJsonCase{"stringify_replacer",
                       "JSON.stringify({a:1,b:'x'}, function(k, v) { return typeof v == 'number' ? v * 2 : v })",
                       "{\"a\":2,\"b\":\"x\"}"},
        EngineJsonCase{"stringify_wrapped_primitives", "JSON.stringify([new String('s'), new Number(2)])",
                       "[\"s\",2]"},
        EngineJsonCase{"stringify_bad_replacer", "try { JSON.stringify(1, 5) } catch (e) { 'threw' }", "threw"},
        EngineJsonCase{"parse_values",
                       "var v = JSON.parse(' {\"a\":[1,-2.5e1,\"\\\\u0041\\\\n\"],\"b\":null} '); "
                       "v.a[1] + '|' + v.a[2] + '|' + (v.b === null)",
                       "-25|A\n|true"},
        EngineJsonCase{"parse_reviver",
                       "JSON.stringify(JSON.parse('{\"a\":1,\"b\":[2]}', function(k, v) { "
                       "return k == 'a' ? undefined : typeof v == 'number' ? v + 1 : v }))",
                       "{\"b\":[3]}"},
        EngineJsonCase{"parse_rejects_code",
                       "try { JSON.parse('[1,(function(){return 2})()]'); 'ran' } catch (e) { e.name }",
                       "SyntaxError"},
        EngineJsonCase{"parse_rejects_trailing_comma", "try { JSON.parse('[1,]'); 'ran' } catch (e) { e.name }",
                       "SyntaxError"},
        EngineJsonCase{"parse_rejects_single_quotes",
                       "try { JSON.parse(\"{'a':1}\"); 'ran' } catch (e) { e.name }", "SyntaxError"},
        EngineJsonCase{"object_additions", "({a:1}).toJSONString() + '{\"b\":2}'.parseJSON().b", "{\"a\":1}2"}),
    CaseName());

}  // namespace
