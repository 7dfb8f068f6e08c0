#pragma once
// The process-wide text helper shared by the core. Texts are 8-bit
// (Windows-1252) std::strings; positions and counts are character indices.
// Every operation accepts the same object as input and output.
#include <string>
#include <string_view>

class CStringUtil {
public:
    static CStringUtil* GetInstance();
    static void ReleaseInstance();

    int Copy(std::string& dest, std::string_view src) const;     // always 1
    int Append(std::string& dest, std::string_view src) const;   // always 1
    int Clear(std::string& text) const;                          // always 1
    int Length(std::string_view text) const;
    // Index of the first occurrence of what at or after from, or -1.
    int Find(std::string_view text, std::string_view what, int from = 0) const;
    // Left, Right and Middle clamp counts and positions to the text.
    int Left(std::string& dest, std::string_view text, int count) const;
    int Right(std::string& dest, std::string_view text, int count) const;
    int Middle(std::string& dest, std::string_view text, int start, int count) const;
    // 0 when pos lies outside 0..length; the text is then unchanged.
    int Insert(std::string& text, int pos, std::string_view what) const;
    // Removes up to count characters from pos; 0 when pos lies outside the text.
    int Delete(std::string& text, int pos, int count) const;
    // Byte-wise: negative, 0 or positive like strcmp.
    int Compare(std::string_view a, std::string_view b) const;
    // Replaces every occurrence of find by with. After each replacement the
    // search starts again at the beginning of the text, so a replacement that
    // completes a new occurrence (with what precedes it) is replaced as well.
    // When with itself contains find, that rule could never end; such a call
    // replaces left to right once instead. Returns the number of replacements
    // (0 also for an empty find).
    int ReplaceAll(std::string& text, std::string_view find, std::string_view with) const;

private:
    CStringUtil() = default;
};
