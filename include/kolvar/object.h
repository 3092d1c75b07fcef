// Late-bound objects: what the client creates by name and calls by member name.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

namespace kolvar {

class Value;

class Object {
 public:
  virtual ~Object();
  // Property assignment; unknown property: error 438.
  virtual void Let(std::string_view property, const Value& v);
  virtual Value Get(std::string_view property);
  // Arguments are by reference: after the call each holds what the method left
  // in it. Optional trailing arguments may be left out.
  virtual Value Call(std::string_view method, std::vector<Value>& args);
};

// Creates a public class by its prog id ("kolvar.cDeclarado"), without regard to
// case. Unknown prog id: error 429.
std::shared_ptr<Object> CreateObject(std::string_view progId);

}  // namespace kolvar
