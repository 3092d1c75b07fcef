// Module General: result sets into result buffers, the apostrophe
// substitution of SQL literals, character tests, the date check, the period
// routines of the declaration file and the member-state codes.
#pragma once

#include <cstdint>
#include <string>

#include "dbaccess/engine.h"
#include "kolvar/value.h"

namespace kolvar::General {

// Mode 0: one row; 1: one column; any other: a table (column, row) with rows
// from 1. Null when the result set has no rows.
Value CargarBuffer(db::Recordset& rs, std::int16_t intModo);
std::string CampoATexto(const Value& v);
std::string QuitarApostrofo(std::string s);
double BC(const Value& v);
// Sets a blank argument to 0 (through the reference) before testing it.
Value CB(Value& v);
std::string Rellenar(double dblValor, std::int16_t intLongitud, const std::string& strCaracter);
bool EsNumeroConGuion(const std::string& s);
bool EsNumero(const std::string& s);
// A blank date is left holding "0".
bool ValidarFecha(std::string& strFecha);
std::int16_t TipoPeriodo(const std::string& strPeriodo);
std::int16_t MesFinPeriodo(const std::string& strPeriodo);
bool EsPaisUE(const std::string& strPais);
std::string DosDigitos(std::int16_t n);

}  // namespace kolvar::General
