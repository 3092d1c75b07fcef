// Common checks used by the declaration services and the file import: Spanish
// and other member states' tax identifiers, and the clean-up of imported text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvar {

class cMiscelaneos {
 public:
  // True for a valid Spanish tax identifier: DNI, NIE, the K/L/M personal
  // forms, or a company code (CIF). Letters in either case; blanks around the
  // text are ignored. With blnSinLetra, a DNI or NIE written without its
  // control letter passes on its form alone.
  bool ValidaNifCif(std::string_view text, bool blnSinLetra = false) const noexcept;

  // True when `identifier` (without its country prefix) is a valid VAT
  // identification number of the state whose two-letter prefix is given.
  bool ValidarNIFExtranjero(std::string_view identifier, std::string_view prefix) const noexcept;
  // The prefixes ValidarNIFExtranjero knows, upper case.
  static std::vector<std::string_view> Prefixes();

  // `text` with every character that a form-340 file may not contain replaced
  // by the first character of `replacement` (a blank when it is empty or not
  // itself allowed). The result has as many characters as `text`.
  std::string ValidarCaracErrEnImp(std::string_view text,
                                   std::string_view replacement) const noexcept;
};

}  // namespace kolvar
