// Typed values of command arguments, with a one-line message in the user's
// language when the text is not one.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "catalog/catalog.h"

namespace kolvar::cli {

// Named input fields of a command, as typed ("tax_id" -> "A58818501").
using Fields = std::map<std::string, std::string>;

std::int32_t KeyArgument(const std::string& name, const std::string& text, Lang lang);
long long WholeArgument(const std::string& name, const std::string& text, long long min,
                        long long max, Lang lang);
long long CentsArgument(const std::string& name, const std::string& text, Lang lang);
std::int32_t DateArgument(const std::string& name, const std::string& text, Lang lang);
// The text when it is one of `choices` (blank-separated), else a UsageError.
std::string ChoiceArgument(const std::string& name, const std::string& text,
                           const std::string& choices, Lang lang);

}  // namespace kolvar::cli
