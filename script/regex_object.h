#pragma once
// Regular-expression searches through the VBScript regular-expression
// component. The object keeps the results of its last search so that matches
// and groups can be read one by one. It belongs to the thread that made it.

#include <cstdint>
#include <optional>

#include "common/com.h"
#include "common/text.h"

class RegexObject {
 public:
  // Initialises COM on the calling thread; the destructor undoes it.
  RegexObject() noexcept;
  ~RegexObject();
  // Shares the COM objects of the last search and copies the subject. The
  // copy holds an apartment reference of its own, so it stays usable after
  // the original is gone.
  RegexObject(const RegexObject& other) noexcept;
  RegexObject& operator=(const RegexObject&) = delete;

  // Runs pattern over subject. True when the engine returned a match
  // collection (also when it is empty); false when the pattern is rejected.
  // With quotePlaceholder every "#引号" in pattern stands for one '"'.
  [[nodiscard]] bool Search(const Text& pattern, const Text& subject, bool caseSensitive = false,
                            bool multiline = true, bool global = true, bool quotePlaceholder = false) noexcept;
  [[nodiscard]] Text GetPattern() const noexcept;
  // The stored subject with the matches of the last search replaced.
  [[nodiscard]] Text Replace(const Text& replacement) const noexcept;
  [[nodiscard]] std::int32_t MatchCount() const noexcept;
  // Match matchIndex (1-based); position receives its 0-based byte offset in
  // the subject, or -1 when there is no such match.
  [[nodiscard]] Text GetMatch(std::int32_t matchIndex, std::int32_t* position = nullptr) const noexcept;
  // Group groupIndex (1-based) of match matchIndex (1-based); empty when the
  // group took no part. position receives the byte offset of the first
  // occurrence of the group's text at or after the start of the match, or -1
  // when there is no such group or it took no part.
  [[nodiscard]] Text GetSubmatch(std::int32_t matchIndex, std::int32_t groupIndex,
                                 std::int32_t* position = nullptr) const noexcept;
  // The number of groups of the first match.
  [[nodiscard]] std::int32_t SubmatchCount() const noexcept;

 private:
  // The match collection's item (0-based), or null.
  [[nodiscard]] ComPtr<IDispatch> MatchItem(std::int32_t index) const noexcept;
  // The byte offset of a match in the subject's text form.
  [[nodiscard]] std::int32_t BytePosition(IDispatch* match) const noexcept;

  ComApartment apartment_;  // first member: released last
  ComPtr<IDispatch> regex_;
  ComPtr<IDispatch> matches_;
  UniqueVariant subject_;
};
