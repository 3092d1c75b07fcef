// What belongs to the detail table of a record's book letter.
#pragma once

namespace kolvar::cli {

// Issued invoices (E, F), received invoices (R, S), investment goods (I, J)
// or intra-community operations (U); `none` for any other letter.
template <class T>
const T& ForBook(char book, const T& issued, const T& received, const T& investment,
                 const T& intraCommunity, const T& none) {
  switch (book) {
    case 'E':
    case 'F':
      return issued;
    case 'R':
    case 'S':
      return received;
    case 'I':
    case 'J':
      return investment;
    case 'U':
      return intraCommunity;
    default:
      return none;
  }
}

}  // namespace kolvar::cli
