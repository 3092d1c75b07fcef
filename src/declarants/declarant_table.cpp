#include "declarants/declarant_table.h"

#include "core/retag.h"
#include "core/text.h"
#include "dbaccess/conexion.h"
#include "dbaccess/general.h"
#include "dbaccess/like_pattern.h"
#include "dbaccess/sql_literal.h"
#include "dbaccess/table_reads.h"

namespace kolvar {

void cTDeclarante::datTDeclarante_nombred(std::string v) {
  nombred_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_domiciliod(std::string v) {
  domiciliod_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_letrad(std::string v) {
  letrad_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_escalerad(std::string v) {
  escalerad_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_pisod(std::string v) {
  pisod_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_manod(std::string v) {
  manod_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_municipiod(std::string v) {
  municipiod_ = General::QuitarApostrofo(std::move(v));
}
void cTDeclarante::datTDeclarante_nombrepd(std::string v) {
  nombrepd_ = General::QuitarApostrofo(std::move(v));
}

bool cTDeclarante::Insertar() {
  Conexion().execute(
      "INSERT INTO TDeclarante (dni_cifd,nombred,viad,domiciliod,numerod,letrad,escalerad, "
      "pisod,manod,codpostald,municipiod,telefonod,nombrepd,telefonopd,nrep "
      ") VALUES ( " +
      SqlTexts({dniCifd_, nombred_, viad_, domiciliod_}) + ", " + SqlNumber(numerod_) + ", " +
      SqlTexts({letrad_, escalerad_, pisod_, manod_, SqlNumber(codpostald_), municipiod_,
                telefonod_, nombrepd_, telefonopd_}) +
      "," + SqlText(dnirepd_) + ")");
  return true;
}

bool cTDeclarante::Borrar() {
  Conexion().execute("DELETE FROM TDeclarante WHERE CSDE = " + SqlNumber(csde_));
  return true;
}

bool cTDeclarante::Modificar() {
  if (csde_ < 1) return false;
  Conexion().execute("UPDATE TDeclarante SET dni_cifd=" + SqlText(dniCifd_) +
                     ", nombred=" + SqlText(nombred_) + ", viad=" + SqlText(viad_) +
                     ", domiciliod=" + SqlText(domiciliod_) + ", numerod=" + SqlNumber(numerod_) +
                     ", letrad=" + SqlText(letrad_) + ", escalerad=" + SqlText(escalerad_) +
                     ", pisod=" + SqlText(pisod_) + ", manod=" + SqlText(manod_) +
                     ", codpostald=" + SqlNumber(codpostald_) +
                     ", municipiod=" + SqlText(municipiod_) + ", telefonod=" + SqlText(telefonod_) +
                     ", nombrepd=" + SqlText(nombrepd_) + ", telefonopd=" + SqlText(telefonopd_) +
                     ", nrep = " + SqlText(dnirepd_) + "  WHERE CSDE = " + SqlNumber(csde_));
  return true;
}

bool cTDeclarante::Seleccionar() {
  if (csde_ <= 0) return false;
  auto rs = Conexion().openRecordset("SELECT * FROM TDeclarante WHERE CSDE = " + SqlNumber(csde_));
  const auto trimmed = [&](const char* column) { return text::Trim(rs->field(column).toString()); };
  const auto stored = [&](const char* column) { return rs->field(column).toString(); };
  datTDeclarante_dni_cifd(trimmed("dni_cifd"));
  datTDeclarante_nombred(trimmed("nombred"));
  datTDeclarante_viad(trimmed("viad"));
  datTDeclarante_domiciliod(trimmed("domiciliod"));
  datTDeclarante_numerod(rs->field("numerod").toLong());
  datTDeclarante_letrad(trimmed("letrad"));
  datTDeclarante_escalerad(trimmed("escalerad"));
  datTDeclarante_pisod(trimmed("pisod"));
  datTDeclarante_manod(trimmed("manod"));
  datTDeclarante_codpostald(rs->field("codpostald").toLong());
  datTDeclarante_municipiod(trimmed("municipiod"));
  datTDeclarante_telefonod(stored("telefonod"));
  datTDeclarante_nombrepd(stored("NombrePd"));
  datTDeclarante_telefonopd(stored("TelefonoPd"));
  datTDeclarante_dnirepd(stored("nrep"));
  rs->close();
  return true;
}

std::int32_t cTDeclarante::MaxDeclarante() {
  lastSelect_ = Conexion().openRecordset("SELECT MAX(CSDE) FROM tdeclarante ");
  const Value max = lastSelect_->field(0);
  return max.isNull() ? 0 : max.toLong();
}

Value cTDeclarante::ObtenerDeclarantes() {
  return WithTag("cTDeclarante.ObtenerDeclarantes ", [] {
    return SelectBuffer("Select CSDE, dni_cifd, nombred From TDeclarante order by dni_cifd asc", 2);
  });
}

Value cTDeclarante::ObtenerUltimosDeclarantes() {
  return WithTag("cTDeclarante.ObtenerUltimosDeclarantes ", [] {
    return SelectBuffer("Select TOP 4 CSDE, dni_cifd, nombred From TDeclarante order by CSDE desc",
                        2);
  });
}

std::int32_t cTDeclarante::ExisteNif(const std::string&) {
  if (dniCifd_.empty()) return 0;
  // The identifier is matched as written: none of its characters is a wildcard.
  auto rs = Conexion().openRecordset("Select CSDE From TDeclarante Where dni_cifd like " +
                                     SqlText(db::LikeLiteral(dniCifd_) + "*"));
  const std::int32_t key = rs->eof() ? 0 : rs->field(0).toLong();
  rs->close();
  return key;
}

}  // namespace kolvar
