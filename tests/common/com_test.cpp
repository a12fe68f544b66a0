// Late-bound calls against a real automation component of the system.
#include <gtest/gtest.h>

#include "common/com.h"
#include "net/text_encoding.h"

namespace {

class LateBoundCom : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    ASSERT_EQ(CreateObjectByProgId(L"VBScript.RegExp", regex_), S_OK);
  }
  static UniqueVariant TextValue(const Text& text) { return UniqueVariant::FromWide(TextToWide(text)); }
  static Text AsText(const UniqueVariant& v) { return WideToText(v.ToWide(), 936); }

  ComApartment apartment_;
  ComPtr<IDispatch> regex_;
};

TEST_F(LateBoundCom, PutGetAndCall) {
  ASSERT_EQ(PutProperty(regex_.get(), L"Pattern", TextValue("(\\d+)次")), S_OK);
  ASSERT_EQ(PutProperty(regex_.get(), L"Global", UniqueVariant::FromBool(true)), S_OK);
  UniqueVariant pattern;
  ASSERT_EQ(GetProperty(regex_.get(), L"Pattern", pattern), S_OK);
  EXPECT_EQ(AsText(pattern), "(\\d+)次");

  const UniqueVariant subject = TextValue("点击12次，再点345次");
  UniqueVariant matches;
  ASSERT_EQ(CallMethod(regex_.get(), L"Execute", {&subject}, &matches), S_OK);
  ComPtr<IDispatch> collection = matches.ToDispatch();
  ASSERT_TRUE(collection);
  UniqueVariant count;
  ASSERT_EQ(GetProperty(collection.get(), L"Count", count), S_OK);
  EXPECT_EQ(count.ToInt(), 2);

  UniqueVariant second;
  const UniqueVariant index = UniqueVariant::FromInt(1);
  ASSERT_EQ(GetProperty(collection.get(), L"Item", second, {&index}), S_OK);
  UniqueVariant value;
  ASSERT_EQ(GetProperty(second.ToDispatch().get(), L"Value", value), S_OK);
  EXPECT_EQ(AsText(value), "345次");
}

TEST_F(LateBoundCom, MethodWithSeveralArgumentsKeepsTheirOrder) {
  ASSERT_EQ(PutProperty(regex_.get(), L"Pattern", TextValue("a")), S_OK);
  ASSERT_EQ(PutProperty(regex_.get(), L"Global", UniqueVariant::FromBool(true)), S_OK);
  const UniqueVariant subject = TextValue("banana");
  const UniqueVariant replacement = TextValue("o");
  UniqueVariant result;
  ASSERT_EQ(CallMethod(regex_.get(), L"Replace", {&subject, &replacement}, &result), S_OK);
  EXPECT_EQ(AsText(result), "bonono");
}

TEST_F(LateBoundCom, FailuresAreResults) {
  UniqueVariant value;
  EXPECT_EQ(GetProperty(regex_.get(), L"NoSuchMember", value), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(GetProperty(nullptr, L"Pattern", value), E_POINTER);
  ComPtr<IDispatch> missing;
  EXPECT_TRUE(FAILED(CreateObjectByProgId(L"No.Such.Component", missing)));
  EXPECT_FALSE(missing);

  ASSERT_EQ(PutProperty(regex_.get(), L"Pattern", TextValue("(")), S_OK);
  const UniqueVariant subject = TextValue("x");
  UniqueVariant matches;
  EXPECT_TRUE(FAILED(CallMethod(regex_.get(), L"Execute", {&subject}, &matches)));
}

TEST(UniqueVariant, CopiesAndConversions) {
  const UniqueVariant text = UniqueVariant::FromWide(TextToWide("42"));
  UniqueVariant copy = text;
  EXPECT_EQ(copy.type(), VT_BSTR);
  EXPECT_NE(copy.get().bstrVal, text.get().bstrVal);
  EXPECT_EQ(copy.ToInt(), 42);
  EXPECT_EQ(WideToText(UniqueVariant::FromInt(-7).ToWide(), 936), "-7");
  EXPECT_TRUE(UniqueVariant().ToWide().empty());
  EXPECT_EQ(UniqueVariant::FromWide({}).get().bstrVal != nullptr, true);
  EXPECT_EQ(SysStringLen(UniqueVariant::FromWide({}).get().bstrVal), 0u);
}

TEST(ComPtr, CountsReferences) {
  ComApartment apartment;
  ComPtr<IDispatch> object;
  ASSERT_EQ(CreateObjectByProgId(L"VBScript.RegExp", object), S_OK);
  IDispatch* raw = object.get();
  {
    ComPtr<IDispatch> copy = object;
    EXPECT_EQ(copy.get(), raw);
    raw->AddRef();
    EXPECT_EQ(raw->Release(), 2u);  // object and copy
  }
  raw->AddRef();
  EXPECT_EQ(raw->Release(), 1u);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(object.As(unknown), S_OK);
  EXPECT_TRUE(unknown);
}

}  // namespace
