// Message boxes (user32). Every box of the system is captioned "Velandra".
#pragma once
#include <string>

namespace velandra {

inline constexpr char kCaption[] = "Velandra";

}  // namespace velandra

namespace velandra::platform {

enum class MessageIcon { Error, Warning, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No, Cancel };
// Start-up refusals have no owner window; the rest are owned by the main window.
enum class MessageOwner { None, MainWindow };

class IMessages {
 public:
  virtual ~IMessages() = default;
  virtual MessageAnswer Show(MessageOwner owner, const std::string& text,
                             const std::string& caption, MessageIcon icon,
                             MessageButtons buttons) = 0;
};

// The commonest box: a warning with an OK button, over the main window
// unless said otherwise.
inline void ShowWarning(IMessages& messages, const std::string& text,
                        MessageOwner owner = MessageOwner::MainWindow) {
  messages.Show(owner, text, kCaption, MessageIcon::Warning, MessageButtons::Ok);
}

}  // namespace velandra::platform
