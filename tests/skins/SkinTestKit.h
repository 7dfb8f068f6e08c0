#pragma once
// Test doubles and a scratch skin folder for the skin model tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/WindowMessage.h"
#include "skins/SkinButton.h"
#include "skins/image/SkinImage.h"

struct PostedMessage {
    unsigned msg;
    intptr_t w;
    intptr_t l;
    bool operator==(const PostedMessage&) const = default;
};

class RecordingTarget : public IMessageTarget {
public:
    void PostMessage(unsigned msg, intptr_t w, intptr_t l) override { posted.push_back({msg, w, l}); }
    intptr_t SendMessage(unsigned msg, intptr_t w, intptr_t l) override
    {
        posted.push_back({msg, w, l});
        return 0;
    }
    std::vector<PostedMessage> posted;
};

class RecordingHost : public ISkinHost {
public:
    void InvalidateRect(const SkinRect& r) override { invalidated.push_back(r); }
    std::vector<SkinRect> invalidated;
};

// Installs itself as the message box service for its lifetime.
class RecordingMessageBox : public IMessageBox {
public:
    RecordingMessageBox() { SetMessageBoxService(this); }
    ~RecordingMessageBox() override { SetMessageBoxService(nullptr); }
    MessageAnswer Show(const std::string& text, const std::string& caption, MessageKind,
                       MessageButtons) override
    {
        shown.push_back({text, caption});
        return MessageAnswer::Ok;
    }
    std::vector<std::pair<std::string, std::string>> shown;  // text, caption
};

// A fresh folder under the test's temporary directory, removed at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return m_path; }  // with trailing "/"
    void Write(const std::string& relative, const std::string& content) const;
    void Remove(const std::string& relative) const;

private:
    std::string m_path;
};

// A 24-bit uncompressed BMP file of the image's pixels.
std::string EncodeBmp(const CSkinImage& image);
// An image filled by f(x, y) -> 0x00RRGGBB.
template <class F>
CSkinImage MakeImage(int w, int h, F f)
{
    CSkinImage img;
    img.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.SetPixel(x, y, f(x, y));
    return img;
}

// The source folder and the runtime folder the tests run with.
std::string SourceDir();
