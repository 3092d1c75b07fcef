// The page files of the web client, built into the program from web/.
#pragma once

#include <string_view>
#include <vector>

namespace kolvar::serve {

struct WebAsset {
  std::string_view path;  // "/index.html"
  std::string_view type;  // media type sent with it
  std::string_view body;
};

const std::vector<WebAsset>& WebAssets();

}  // namespace kolvar::serve
