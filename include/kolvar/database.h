// Creation of the two database files.
#pragma once

#include <string>
#include <string_view>

namespace kolvar {

// Earlier: the user layout without the column groups that the database
// transfer adds to the invoice-detail tables.
enum class UserLayout { Current, Earlier };

// True when a user database's name addresses a PostgreSQL server (a
// postgresql:// URI or a libpq connection string) rather than a file.
bool IsServerDatabase(std::string_view name);

void CreateUserDatabase(const std::string& path, UserLayout layout = UserLayout::Current);
// The reference database, filled with the shipped code tables.
void CreateReferenceDatabase(const std::string& path);

}  // namespace kolvar
