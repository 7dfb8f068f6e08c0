#pragma once
// The clipboard as plain text. The window program installs an implementation
// over the desktop clipboard; without one (terminal front end, tools) a
// clipboard private to the process is used, so copy then paste still works.
// Texts are UTF-8 (callers convert their 1252 texts at this boundary).
#include <string>

class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Replaces the clipboard's content with text. Returns 1, or 0 when the
    // clipboard could not be written.
    virtual int SetText(const std::string& text) = 0;
    // Fills text with the clipboard's plain text. Returns 1, or 0 when it holds
    // no text (text is then emptied).
    virtual int GetText(std::string& text) = 0;
};

// The installed implementation (the process-private one unless replaced).
IClipboard& ClipboardService();
// Installs impl (not owned; must outlive its use); null restores the default.
void SetClipboardService(IClipboard* impl);
