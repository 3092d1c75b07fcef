#include "serve/finding_messages.h"

#include <string>

namespace kolvar::serve {

// Until the message catalog is built in, the code itself stands for the text.
nlohmann::json FindingMessages(int code, FindingPlace) {
  return {{"es", "Código " + std::to_string(code)}, {"eu", std::to_string(code) + " kodea"}};
}

nlohmann::json NotANumberMessages() {
  return {{"es", "Se esperaba un número"}, {"eu", "Zenbaki bat espero zen"}};
}

}  // namespace kolvar::serve
