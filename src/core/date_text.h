// Serial dates: days since 1899-12-30, the magnitude of the fraction being the
// time of day (also for days before that date, so -1.25 is 29/12/1899 06:00).
#pragma once

#include <string>
#include <string_view>

namespace kolvar::detail {

// Years 100 to 9999.
bool DateSerialInRange(double serial);

// "dd/mm/yyyy", with " hh:mm:ss" unless the time rounds to midnight.
std::string DateToText(double serial);

// Reads "d/m/yyyy" with an optional " h:mm" or " h:mm:ss", blanks around;
// false for anything else, including days that do not exist.
bool ReadDateText(std::string_view text, double& serial);

}  // namespace kolvar::detail
