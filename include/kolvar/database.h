// Creation of the two database files.
#pragma once

#include <string>

namespace kolvar {

// Earlier: the user layout without the column groups that the database
// transfer adds to the invoice-detail tables.
enum class UserLayout { Current, Earlier };

void CreateUserDatabase(const std::string& path, UserLayout layout = UserLayout::Current);
// The reference database, filled with the shipped code tables.
void CreateReferenceDatabase(const std::string& path);

}  // namespace kolvar
