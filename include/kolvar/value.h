// Value: the dynamically typed cell in which buffers, arguments and results
// travel between the client and the library.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kolvar {

class Object;

enum class VarType {
  Empty,
  Null,
  Integer,
  Long,
  Single,
  Double,
  Date,
  String,
  Boolean,
  Byte,
  Object,
  Array
};

class Value {
 public:
  Value();  // Empty
  static Value Null();
  Value(bool v);
  Value(std::uint8_t v);
  Value(std::int16_t v);
  Value(std::int32_t v);
  Value(float v);
  Value(double v);
  Value(const char* v);
  Value(std::string v);
  Value(std::shared_ptr<Object> v);
  // A date as days since 1899-12-30 with the time as the fraction.
  static Value Date(double serial);

  Value(const Value& other);
  Value(Value&& other) noexcept;
  Value& operator=(const Value& other);
  Value& operator=(Value&& other) noexcept;
  ~Value();

  std::shared_ptr<Object> toObject() const;  // error 13 unless an object

  // Lower and upper bound per dimension; every cell Empty. Bounds with
  // upper < lower - 1 are error 9.
  static Value Array(std::vector<std::pair<std::int32_t, std::int32_t>> bounds);

  VarType type() const { return type_; }
  bool isEmpty() const { return type_ == VarType::Empty; }
  bool isNull() const { return type_ == VarType::Null; }
  bool isArray() const { return type_ == VarType::Array; }
  bool isNumber() const;  // Integer, Long, Single, Double, Byte, Boolean, Date

  // Array access; dimensions count from 1. Not an array: error 13; index
  // outside the bounds or wrong number of indices: error 9.
  int dims() const;
  std::int32_t lbound(int dim) const;
  std::int32_t ubound(int dim) const;
  Value& operator()(std::int32_t i);
  Value& operator()(std::int32_t i, std::int32_t j);
  const Value& operator()(std::int32_t i) const;
  const Value& operator()(std::int32_t i, std::int32_t j) const;
  // Grows or shrinks the last dimension to end at newUpper, keeping the cells
  // that remain in range.
  void redimPreserve(std::int32_t newUpper);

  // Conversions (see the rules beside each in value.cpp): Null is error 94,
  // text that is not a number error 13, a number out of range error 6.
  std::string toString() const;
  std::int32_t toLong() const;
  std::int16_t toInteger() const;
  std::uint8_t toByte() const;
  float toSingle() const;
  double toDouble() const;
  bool toBool() const;
  double toDateSerial() const;

 private:
  struct ArrayData;
  VarType type_ = VarType::Empty;
  double num_ = 0;  // every numeric type (and Boolean, Date) fits exactly
  std::string s_;
  std::shared_ptr<Object> obj_;
  std::unique_ptr<ArrayData> arr_;

  std::size_t cellIndex(const std::int32_t* idx, int n) const;
};

// Val: the leading number of the text after leading blanks, 0 when there is
// none. Never fails (Null gives 0 too).
double Val(const Value& v);
double Val(std::string_view text);
// Text arguments pick the text overloads rather than converting to a Value.
double Val(const char* text);
double Val(const std::string& text);

// True when the value converts to a number: numbers, Empty, and numeric text.
bool IsNumeric(const Value& v);

// Comparison of two dynamically typed values: negative, zero or positive;
// std::nullopt when either side is Null (the comparison is unknown).
std::optional<int> Compare(const Value& a, const Value& b);

// Round half to even, as every conversion to a whole number does.
double RoundHalfEven(double x);

// A Double as its shortest text of at most 15 significant digits.
std::string NumberToText(double d);
// A Single as its shortest text of at most 7 significant digits.
std::string SingleToText(float f);

}  // namespace kolvar
