#include "platform/Clipboard.h"

namespace {

class CProcessClipboard : public IClipboard {
public:
    int SetText(const std::string& text) override
    {
        text_ = text;
        return 1;
    }
    int GetText(std::string& text) override
    {
        text = text_;
        return text_.empty() ? 0 : 1;
    }

private:
    std::string text_;
};

CProcessClipboard& DefaultClipboard()
{
    static CProcessClipboard clipboard;
    return clipboard;
}

IClipboard* g_clipboard = nullptr;

}  // namespace

IClipboard& ClipboardService()
{
    return g_clipboard ? *g_clipboard : DefaultClipboard();
}

void SetClipboardService(IClipboard* impl)
{
    g_clipboard = impl;
}
