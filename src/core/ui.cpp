#include "kolvar/ui.h"

#include <iostream>
#include <mutex>

namespace kolvar {

UserInterface::~UserInterface() = default;
void UserInterface::SetPointer(int) {}
void UserInterface::MessageBox(std::string_view text) {
  std::cerr << text << '\n';
}

namespace {
std::mutex uiMutex;
std::shared_ptr<UserInterface>& CurrentSlot() {
  static std::shared_ptr<UserInterface> ui = std::make_shared<UserInterface>();
  return ui;
}
}  // namespace

void SetUserInterface(std::shared_ptr<UserInterface> ui) {
  std::lock_guard lock(uiMutex);
  CurrentSlot() = ui ? std::move(ui) : std::make_shared<UserInterface>();
}

std::shared_ptr<UserInterface> CurrentUserInterface() {
  std::lock_guard lock(uiMutex);
  return CurrentSlot();
}

}  // namespace kolvar
