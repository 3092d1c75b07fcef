// Messages in Castilian and Basque for the finding codes of the validators and
// the error numbers of the library. The texts are data (cli/catalog/*.tsv,
// built into the program); a code without a text gives an empty view.
#pragma once

#include <string_view>
#include <vector>

namespace kolvar::cli {

enum class Lang { es, eu };

// The on-screen validators report a field number and a code; the import
// validators a code and a text. The same code may mean different things in each.
enum class FindingLayout { OnScreen, Import };

std::string_view FindingText(int code, FindingLayout layout, Lang lang);  // empty when unknown
std::string_view ErrorText(int number, Lang lang);                        // empty when unknown

// Every code and number the catalog has a row for, ascending.
std::vector<int> KnownFindingCodes(FindingLayout layout);
std::vector<int> KnownErrorNumbers();

}  // namespace kolvar::cli
