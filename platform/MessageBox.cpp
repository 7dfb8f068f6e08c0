#include "platform/MessageBox.h"

#include <cstdio>

namespace {

class CStderrMessageBox final : public IMessageBox {
public:
    MessageAnswer Show(const std::string& text, const std::string& caption,
                       MessageKind, MessageButtons) override
    {
        if (caption.empty())
            std::fprintf(stderr, "%s\n", text.c_str());
        else
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return MessageAnswer::Ok;
    }
};

CStderrMessageBox g_stderrBox;
IMessageBox* g_current = &g_stderrBox;

} // namespace

IMessageBox& MessageBoxService() { return *g_current; }

void SetMessageBoxService(IMessageBox* impl) { g_current = impl ? impl : &g_stderrBox; }
