// The client's user interface as the library sees it: the mouse pointer and
// modal messages.
#pragma once

#include <memory>
#include <string_view>

namespace kolvar {

class UserInterface {
 public:
  virtual ~UserInterface();
  // 11 while the library works, 0 when it is done.
  virtual void SetPointer(int pointer);
  virtual void MessageBox(std::string_view text);
};

// The default interface shows no pointer and writes messages to stderr.
void SetUserInterface(std::shared_ptr<UserInterface> ui);
std::shared_ptr<UserInterface> CurrentUserInterface();

}  // namespace kolvar
