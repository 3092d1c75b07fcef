#include "declared/detail_layout.h"

#include "declared/validation.h"
#include "kolvar/error.h"

namespace kolvar::declared {

namespace {
constexpr VarType L = VarType::Long;
constexpr VarType I = VarType::Integer;
constexpr VarType F = VarType::Single;
constexpr VarType D = VarType::Double;
constexpr VarType S = VarType::String;
}  // namespace

const DetailLayout& DpfeLayout() {
  static const DetailLayout layout{
      "cTDpfe",
      {{"NOFAC", L, 21},
       {"NOREG", I, 22},
       {"IIA", S, 23},
       {"IFR", S, 24},
       {"TRE", L, 25},
       {"CRE", D, 26},
       {"SDI", F, 27, 2012},
       {"REFCAT", S, 28, 2012},
       {"IPM", D, 29, 2012},
       {"EJERMET", L, 30, 2012},
       {"IPPTDI", D, 31, 2012},
       {"MC", S, 34, 2014},
       {"MC_CC", S, 35, 2014},
       {"FMC", L, 32, 2014},
       {"IC", D, 33, 2014},
       {"MAR", S, 36, 2014}},
      "Select NOFAC,NOREG,IIA,IFR,TRE,CRE,SDI,REFCAT,IPM,EJERMET,IPPTDI,MC,MC_CC,FMC,IC,MAR "
      "from tDpfe "
      "WHERE csdo = ",
      "cTDpfe.CargarDatos ",
      "INSERT INTO tdpfe "
      "(CSCI,CSDO,NOFAC,NOREG,IIA,IFR,TRE,CRE,SDI,REFCAT,IPM,EJERMET,IPPTDI,MC,MC_CC,FMC,IC,MAR ) ",
      "Update tDpfe set ",
      " Where csdo = ",
      " And csci = ",
      "select NOFAC,NOREG,IIA,IFR,TRE,CRE,SDI,REFCAT,IPM,EJERMET,IPPTDI,MC,MC_CC,FMC,IC,MAR from "
      "tDpfe where CSCI = ",
      "INSERT INTO tDpfe "
      "(CSCI,CSDO,NOFAC,NOREG,IIA,IFR,TRE,CRE,SDI,REFCAT,IPM,EJERMET,IPPTDI,MC,MC_CC,FMC,IC,MAR) ",
      &ValidarDpfe};
  return layout;
}

const DetailLayout& DpfrLayout() {
  static const DetailLayout layout{
      "cTDpfr",
      {{"NOFAC", L, 21},
       {"NOREG", I, 22},
       {"IIA", S, 23},
       {"CD", D, 24},
       {"MP", S, 27, 2014},
       {"MP_CC", S, 28, 2014},
       {"FMP", L, 25, 2014},
       {"IP", D, 26, 2014},
       {"MAR", S, 29, 2014}},
      "Select NOFAC,NOREG,IIA,CD,MP,MP_CC, FMP, IP, MAR "
      "from tDpfr "
      "WHERE csdo = ",
      "cTDpfr.CargarDatos ",
      "INSERT INTO tdpfr (CSCI,CSDO,NOFAC,NOREG,IIA,CD,MP,MP_CC,FMP,IP,MAR ) ",
      "Update tDpfr set ",
      " where CSDO = ",
      " and CSCI = ",
      "select NOFAC,NOREG,IIA,CD,MP,MP_CC,FMP,IP,MAR from tDpfr where CSCI = ",
      "INSERT INTO tDpfr (CSCI,CSDO,NOFAC,NOREG,IIA,CD,MP,MP_CC,FMP,IP,MAR) ",
      &ValidarDpfr};
  return layout;
}

const DetailLayout& DpbiLayout() {
  static const DetailLayout layout{"cTDpbi",
                                   {{"PAD", I, 21},
                                    {"RAD", D, 22},
                                    {"IDE", S, 23},
                                    {"RADE", D, 24},
                                    {"FIU", L, 25},
                                    {"IDBIEN", S, 26}},
                                   "Select PAD,RAD,IDE,RADE,FIU,IDBIEN "
                                   "from tDpbi "
                                   "WHERE csdo = ",
                                   "cTDpbi.CargarDatos ",
                                   "INSERT INTO tdpbi (CSCI,CSDO,PAD,RAD,IDE,RADE,FIU,IDBIEN) ",
                                   "Update tdpbi set ",
                                   " where CSDO = ",
                                   " and CSCI = ",
                                   "select PAD,RAD,IDE,RADE,FIU,IDBIEN from tDpbi where CSCI = ",
                                   "INSERT INTO tDpbi (CSCI,CSDO,PAD,RAD,IDE,RADE,FIU,IDBIEN) ",
                                   &ValidarDpbi};
  return layout;
}

const DetailLayout& DpdoiLayout() {
  static const DetailLayout layout{
      "cTDpdoi",
      {{"TOI", S, 21},
       {"CD", S, 22},
       {"CEM", S, 23},
       {"PDE", I, 24},
       {"DESBIEN", S, 25},
       {"DOI", S, 26},
       {"POI", S, 27},
       {"CP", S, 28},
       {"OFOD", S, 29}},
      "Select TOI,CD,CEM,PDE,DESBIEN,DOI,POI,CP,OFOD "
      "from tDpdoi "
      "WHERE csdo = ",
      "cTDpdoi.CargarDatos ",
      "INSERT INTO tDpdoi (CSCI,CSDO,TOI,CD,CEM,PDE,DESBIEN,DOI,POI,CP,OFOD) ",
      "Update tDpdoi set ",
      " where CSDO = ",
      " and CSCI = ",
      "select TOI,CD,CEM,PDE,DESBIEN,DOI,POI,CP,OFOD from tDpdoi where CSCI = ",
      "INSERT INTO tDpdoi (CSCI,CSDO,TOI,CD,CEM,PDE,DESBIEN,DOI,POI,CP,OFOD) ",
      &ValidarDpdoi};
  return layout;
}

const DetailLayout* LayoutOfBook(std::string_view cdtl) {
  if (cdtl == "U") return &DpdoiLayout();
  if (cdtl == "I" || cdtl == "J") return &DpbiLayout();
  if (cdtl == "R" || cdtl == "S") return &DpfrLayout();
  if (cdtl == "E" || cdtl == "F") return &DpfeLayout();
  return nullptr;
}

Value ZeroOf(VarType type) {
  return type == VarType::String ? Value("") : ConvertTo(type, Value(std::int16_t{0}));
}

Value ConvertTo(VarType type, const Value& v) {
  switch (type) {
    case VarType::Long:
      return Value(v.toLong());
    case VarType::Integer:
      return Value(v.toInteger());
    case VarType::Byte:
      return Value(v.toByte());
    case VarType::Single:
      return Value(v.toSingle());
    case VarType::Double:
      return Value(v.toDouble());
    case VarType::String:
      return Value(v.toString());
    default:
      Raise(err::kInvalidCall);
  }
}

}  // namespace kolvar::declared
