// The public classes, each described once for late-bound calls.
#pragma once

#include <memory>

#include "kolvar/object.h"

namespace kolvar::db {
class Recordset;
}

namespace kolvar::api {

void RegisterAllClasses();

// One function per public class; each registers its prog id.
void RegisterConexionDAO();
void RegisterDatosGenerales();
void RegisterMiscelaneos();
void RegisterDeclarante();
void RegisterDeclaraciones();
void RegisterExportacion();
void RegisterImportacion();
void RegisterDeclarado();
void RegisterTDpfe();
void RegisterTDpfr();
void RegisterTDpbi();
void RegisterTDpdoi();
void RegisterTraspaso();

// Engine objects handed to the client: a result set with its fields.
std::shared_ptr<Object> RecordsetObject(std::shared_ptr<db::Recordset> rs);

}  // namespace kolvar::api
