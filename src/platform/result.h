#pragma once

#include <string>
#include <utility>

namespace tolvane::platform {

// How an operation on the system went: done, or failed with the system's words for why
// ("Permission denied"). It cannot be dropped unseen: a caller reports a failure or says in a
// comment why nobody is to hear of it.
class [[nodiscard]] Result final {
 public:
  static Result Done() { return Result(true, {}); }
  static Result Failed(std::string why) { return Result(false, std::move(why)); }

  bool Ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  // Why it failed; empty when it did not, or when the system did not say.
  const std::string& Why() const { return why_; }

 private:
  Result(bool ok, std::string why) : ok_(ok), why_(std::move(why)) {}

  bool ok_;
  std::string why_;
};

}  // namespace tolvane::platform
