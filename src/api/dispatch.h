// Late-bound dispatch: one description per public class (its properties and
// methods, by name without regard to case) turns a typed C++ object into an
// Object the client calls by member name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/text.h"
#include "kolvar/error.h"
#include "kolvar/object.h"
#include "kolvar/value.h"

namespace kolvar::api {

// Conversion of one argument or result between Value and a C++ type.
template <class T>
struct Conv;
template <>
struct Conv<Value> {
  static Value from(const Value& v) { return v; }
  static Value to(const Value& v) { return v; }
};
template <>
struct Conv<std::string> {
  static std::string from(const Value& v) { return v.toString(); }
  static Value to(const std::string& v) { return Value(v); }
};
template <>
struct Conv<std::int32_t> {
  static std::int32_t from(const Value& v) { return v.toLong(); }
  static Value to(std::int32_t v) { return Value(v); }
};
template <>
struct Conv<std::int16_t> {
  static std::int16_t from(const Value& v) { return v.toInteger(); }
  static Value to(std::int16_t v) { return Value(v); }
};
template <>
struct Conv<std::uint8_t> {
  static std::uint8_t from(const Value& v) { return v.toByte(); }
  static Value to(std::uint8_t v) { return Value(v); }
};
template <>
struct Conv<double> {
  static double from(const Value& v) { return v.toDouble(); }
  static Value to(double v) { return Value(v); }
};
template <>
struct Conv<float> {
  static float from(const Value& v) { return v.toSingle(); }
  static Value to(float v) { return Value(v); }
};
template <>
struct Conv<bool> {
  static bool from(const Value& v) { return v.toBool(); }
  static Value to(bool v) { return Value(v); }
};

template <class C>
class ClassInfo;

// The Object every described class is seen through.
template <class C>
class Dispatched final : public Object {
 public:
  explicit Dispatched(std::shared_ptr<C> self) : self_(std::move(self)) {}
  void Let(std::string_view property, const Value& v) override {
    ClassInfo<C>::Instance().let(*self_, property, v);
  }
  Value Get(std::string_view property) override {
    return ClassInfo<C>::Instance().get(*self_, property);
  }
  Value Call(std::string_view method, std::vector<Value>& args) override {
    return ClassInfo<C>::Instance().call(*self_, method, args);
  }
  C& self() { return *self_; }

 private:
  std::shared_ptr<C> self_;
};

// The members of class C, filled once by its Describe function.
template <class C>
class ClassInfo {
 public:
  using Getter = std::function<Value(C&)>;
  using Setter = std::function<void(C&, const Value&)>;
  using Method = std::function<Value(C&, std::vector<Value>&)>;

  static ClassInfo& Instance() {
    static ClassInfo info;
    return info;
  }

  // A property read and/or written by name.
  ClassInfo& property(std::string_view name, Getter get, Setter set) {
    auto& m = members_[text::LowerAscii(name)];
    m.get = std::move(get);
    m.set = std::move(set);
    return *this;
  }

  // A typed getter/setter pair, e.g. prop<std::string>("mdbmod", &C::mdbmod, &C::mdbmod).
  template <class V>
  ClassInfo& prop(std::string_view name, V (C::*get)() const, void (C::*set)(V)) {
    return property(
        name, get ? Getter([get](C& c) { return Conv<V>::to((c.*get)()); }) : Getter(),
        set ? Setter([set](C& c, const Value& v) { (c.*set)(Conv<V>::from(v)); }) : Setter());
  }
  template <class V>
  ClassInfo& writeOnly(std::string_view name, void (C::*set)(V)) {
    return property(name, Getter(), [set](C& c, const Value& v) { (c.*set)(Conv<V>::from(v)); });
  }
  template <class V>
  ClassInfo& readOnly(std::string_view name, V (C::*get)() const) {
    return property(
        name, [get](C& c) { return Conv<V>::to((c.*get)()); }, Setter());
  }

  // A method with its own handling of the argument list.
  ClassInfo& method(std::string_view name, std::size_t required, std::size_t most, Method m) {
    auto& member = members_[text::LowerAscii(name)];
    member.method = std::move(m);
    member.required = required;
    member.most = most;
    return *this;
  }

  // A typed member function. Arguments convert from Value; those past
  // `required` are optional and default to their type's zero; non-const
  // reference parameters are written back into the caller's arguments.
  template <class R, class... A>
  ClassInfo& method(std::string_view name, R (C::*fn)(A...), std::size_t required = sizeof...(A)) {
    return method(name, required, sizeof...(A), [fn](C& c, std::vector<Value>& args) {
      return Invoke<R, A...>(
          args, [&](auto&... v) -> R { return (c.*fn)(v...); }, std::index_sequence_for<A...>{});
    });
  }
  template <class R, class... A>
  ClassInfo& method(std::string_view name, R (C::*fn)(A...) const,
                    std::size_t required = sizeof...(A)) {
    return method(name, required, sizeof...(A), [fn](C& c, std::vector<Value>& args) {
      return Invoke<R, A...>(
          args, [&](auto&... v) -> R { return (c.*fn)(v...); }, std::index_sequence_for<A...>{});
    });
  }

  void let(C& c, std::string_view name, const Value& v) const {
    const Member& m = find(name);
    if (!m.set) Raise(err::kNoMember);
    m.set(c, v);
  }
  Value get(C& c, std::string_view name) const {
    const Member& m = find(name);
    if (m.get) return m.get(c);
    std::vector<Value> none;
    return callMember(c, m, none);
  }
  Value call(C& c, std::string_view name, std::vector<Value>& args) const {
    const Member& m = find(name);
    if (!m.method && m.get && args.empty()) return m.get(c);
    return callMember(c, m, args);
  }

 private:
  struct Member {
    Getter get;
    Setter set;
    Method method;
    std::size_t required = 0, most = 0;
  };

  const Member& find(std::string_view name) const {
    const auto it = members_.find(text::LowerAscii(name));
    if (it == members_.end()) Raise(err::kNoMember);
    return it->second;
  }

  static Value callMember(C& c, const Member& m, std::vector<Value>& args) {
    if (!m.method) Raise(err::kNoMember);
    if (args.size() < m.required || args.size() > m.most)
      Raise(err::kInvalidCall, "Número de argumentos incorrecto.");
    return m.method(c, args);
  }

  template <class R, class... A, class F, std::size_t... I>
  static Value Invoke(std::vector<Value>& args, F&& f, std::index_sequence<I...>) {
    std::tuple<std::decay_t<A>...> values{Arg<std::decay_t<A>>(args, I)...};
    Value result;
    if constexpr (std::is_void_v<R>) {
      std::apply(f, values);
    } else {
      result = Result(std::apply(f, values));
    }
    (WriteBack<A>(args, I, std::get<I>(values)), ...);
    return result;
  }

  template <class T>
  static T Arg(const std::vector<Value>& args, std::size_t i) {
    if (i >= args.size()) return T{};
    return Conv<T>::from(args[i]);
  }
  template <class A, class T>
  static void WriteBack(std::vector<Value>& args, std::size_t i, const T& v) {
    if constexpr (std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>) {
      if (i < args.size()) args[i] = Conv<T>::to(v);
    }
  }
  template <class T>
  static Value Result(T&& v) {
    using D = std::decay_t<T>;
    if constexpr (std::is_convertible_v<D, std::shared_ptr<Object>>)
      return Value(std::shared_ptr<Object>(v));
    else
      return Conv<D>::to(v);
  }

  std::unordered_map<std::string, Member> members_;
};

// Registers a creatable class under its prog id.
void RegisterClass(std::string_view progId, std::function<std::shared_ptr<Object>()> factory);

// Wraps a typed instance as the Object the client sees.
template <class C>
std::shared_ptr<Object> AsObject(std::shared_ptr<C> instance) {
  return std::make_shared<Dispatched<C>>(std::move(instance));
}

// The typed instance behind an Object of class C, or nullptr.
template <class C>
std::shared_ptr<C> Unwrap(const std::shared_ptr<Object>& object) {
  auto* d = dynamic_cast<Dispatched<C>*>(object.get());
  return d ? std::shared_ptr<C>(object, &d->self()) : nullptr;
}

}  // namespace kolvar::api
