// Server failures as the library's numbered errors, by SQLSTATE.
#pragma once

#include <string_view>

namespace kolvar::db::pg {

// True for the failures after which the whole unit of work may be tried
// again: serialization failures and deadlocks.
bool IsRetryable(std::string_view sqlstate);
// True when the failure means the connection is gone.
bool IsConnectionLoss(std::string_view sqlstate);

// Raises the library's error for a failure the server reported with this
// SQLSTATE (empty when the connection failed) and constraint name.
[[noreturn]] void RaiseServerError(std::string_view sqlstate, std::string_view message,
                                   std::string_view constraint = {});

}  // namespace kolvar::db::pg
