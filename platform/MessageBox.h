#pragma once
// Message boxes: the one way the core shows a failure or asks a question.
// The window program installs a Qt implementation; without one (terminal front
// end, tools) messages go to standard error and questions answer "OK".
// Texts are UTF-8 (string tables are UTF-8; convert 1252 core texts first).
#include <string>

enum class MessageKind { Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Blocks until the user answers. caption may be empty.
    virtual MessageAnswer Show(const std::string& text, const std::string& caption,
                               MessageKind kind, MessageButtons buttons) = 0;
};

// The installed implementation (the standard-error one unless replaced).
IMessageBox& MessageBoxService();
// Installs impl (not owned; must outlive its use); null restores the default.
void SetMessageBoxService(IMessageBox* impl);
