// A result set as the client sees it: EOF, RecordCount, AbsolutePosition, the
// moves, Close, and Fields by index from 0 or by name.
#include "api/classes.h"
#include "api/dispatch.h"
#include "dbaccess/engine.h"

namespace kolvar::api {

namespace {

struct FieldRef {
  std::shared_ptr<db::Recordset> rs;
  int index;
};

struct FieldsRef {
  std::shared_ptr<db::Recordset> rs;
};

int IndexOf(const db::Recordset& rs, const Value& key) {
  return key.type() == VarType::String ? rs.fieldIndex(key.toString()) : key.toLong();
}

std::shared_ptr<Object> FieldObject(const std::shared_ptr<db::Recordset>& rs, const Value& key) {
  const int index = IndexOf(*rs, key);
  rs->fieldName(index);  // an index outside the columns fails here, not on first use
  return AsObject(std::make_shared<FieldRef>(FieldRef{rs, index}));
}

void Describe() {
  ClassInfo<FieldRef>::Instance()
      .property(
          "Value", [](FieldRef& f) { return f.rs->field(f.index); }, nullptr)
      .property(
          "Name", [](FieldRef& f) { return Value(f.rs->fieldName(f.index)); }, nullptr);
  ClassInfo<FieldsRef>::Instance()
      .property(
          "Count",
          [](FieldsRef& f) { return Value(static_cast<std::int32_t>(f.rs->fieldCount())); },
          nullptr)
      .method("Item", 1, 1, [](FieldsRef& f, std::vector<Value>& args) {
        return Value(FieldObject(f.rs, args[0]));
      });
  ClassInfo<db::Recordset>::Instance()
      .property(
          "EOF", [](db::Recordset& rs) { return Value(rs.eof()); }, nullptr)
      .property(
          "RecordCount", [](db::Recordset& rs) { return Value(rs.recordCount()); }, nullptr)
      .property(
          "AbsolutePosition", [](db::Recordset& rs) { return Value(rs.absolutePosition()); },
          nullptr)
      .method("MoveNext", &db::Recordset::moveNext)
      .method("MoveFirst", &db::Recordset::moveFirst)
      .method("MoveLast", &db::Recordset::moveLast)
      .method("Close", &db::Recordset::close);
}

}  // namespace

std::shared_ptr<Object> RecordsetObject(std::shared_ptr<db::Recordset> rs) {
  static const bool described = (Describe(), true);
  (void)described;
  // Fields needs the shared pointer itself, so it is bound per object.
  class RecordsetObj final : public Object {
   public:
    explicit RecordsetObj(std::shared_ptr<db::Recordset> rs)
        : rs_(std::move(rs)), inner_(AsObject(rs_)) {}
    void Let(std::string_view p, const Value& v) override { inner_->Let(p, v); }
    Value Get(std::string_view p) override {
      if (text::EqualsNoCase(p, "Fields")) {
        rs_->fieldCount();
        return Value(AsObject(std::make_shared<FieldsRef>(FieldsRef{rs_})));
      }
      return inner_->Get(p);
    }
    Value Call(std::string_view m, std::vector<Value>& args) override {
      if (text::EqualsNoCase(m, "Fields")) {
        if (args.empty()) return Get(m);
        if (args.size() > 1) Raise(err::kInvalidCall);
        return Value(FieldObject(rs_, args[0]));
      }
      return inner_->Call(m, args);
    }

   private:
    std::shared_ptr<db::Recordset> rs_;
    std::shared_ptr<Object> inner_;
  };
  return std::make_shared<RecordsetObj>(std::move(rs));
}

}  // namespace kolvar::api
