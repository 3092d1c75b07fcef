// The one way to re-raise an error with a tag naming the method it passed
// through ("cTDeclarados.CargarDeclarado "): the number, source, help file and
// help context stay; tags of nested calls accumulate outermost first.
#pragma once

#include <string_view>

#include "kolvar/error.h"

namespace kolvar {

template <class F>
decltype(auto) WithTag(std::string_view tag, F&& f) {
  try {
    return f();
  } catch (const Error& e) {
    throw e.Tagged(tag);
  }
}

}  // namespace kolvar
