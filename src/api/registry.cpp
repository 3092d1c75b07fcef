// Creation by prog id, and the defaults of Object.
#include <map>
#include <mutex>

#include "api/classes.h"
#include "api/dispatch.h"

namespace kolvar {

Object::~Object() = default;
void Object::Let(std::string_view, const Value&) {
  Raise(err::kNoMember);
}
Value Object::Get(std::string_view) {
  Raise(err::kNoMember);
}
Value Object::Call(std::string_view, std::vector<Value>&) {
  Raise(err::kNoMember);
}

namespace {

using Factory = std::function<std::shared_ptr<Object>()>;

std::map<std::string, Factory>& Factories() {
  static std::map<std::string, Factory> factories;
  return factories;
}

}  // namespace

namespace api {
void RegisterClass(std::string_view progId, Factory factory) {
  Factories()[text::LowerAscii(progId)] = std::move(factory);
}
}  // namespace api

std::shared_ptr<Object> CreateObject(std::string_view progId) {
  static std::once_flag registered;
  std::call_once(registered, api::RegisterAllClasses);
  const auto it = Factories().find(text::LowerAscii(progId));
  if (it == Factories().end())
    Raise(err::kCannotCreate, "No se puede crear el objeto '" + std::string(progId) + "'.");
  return it->second();
}

}  // namespace kolvar
