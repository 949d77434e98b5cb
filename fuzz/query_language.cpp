// The query language: any expression compiles into byte code that ends in a
// zero code and evaluates against a store of attributes that the input also
// gives.
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "shared/entry.h"
#include "shared/query/query.h"
#include "shared/string.h"

namespace {

// Attributes as "name=value" texts, names without regard to case.
class FuzzStore : public AttributeStore {
 public:
  void Add(const std::string& line) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) return;
    attributes_.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  bool HasAttribute(const char* name) override { return Find(name) != nullptr; }
  const char* GetAttribute(const char* name) override {
    const std::string* value = Find(name);
    return value ? value->c_str() : nullptr;
  }

 private:
  const std::string* Find(const char* name) const {
    for (const auto& [key, value] : attributes_) {
      if (CompareNoCase(key.c_str(), name) == 0) return &value;
    }
    return nullptr;
  }
  std::vector<std::pair<std::string, std::string>> attributes_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  std::string expression = input.Text();
  FuzzStore store;
  while (!input.Empty()) store.Add(input.Text());
  Query query(expression.c_str());
  const std::string& code = query.Code();
  FuzzCheck(!code.empty() && code.back() == '\0', "byte code ends in a zero code");
  query.Matches(&store);
  return 0;
}
