#pragma once
// Every key the library reads from STYLE.INI: where it is read, its value
// syntax and its default. spkc --check judges packs by it and spkgallery
// --reference prints the skin author's key table from it.
#include <span>
#include <string>

namespace Spk {

// Where a key is read.
enum : unsigned {
    kConfig = 1,      // [Config]
    kMain = 2,        // [Class] and [Class.Sub]
    kBackImage = 4,   // [Back@...] with Type=FillImage or BorderImage
    kBackColor = 8,   // [Back@...] with Type=FillColor or BorderColor
    kForeImage = 16,  // [Fore@...] with Type=ImageGlyph
    kForeText = 32,   // [Fore@...] with Type=Text
    kBack = kBackImage | kBackColor,
    kFore = kForeImage | kForeText,
    kImage = kBackImage | kForeImage,
};

enum class EValue { Bool, Int, Count, Colour, Rect, Size, Font, Cursor, Bitmap, Word };

struct SKnownKey {
    unsigned roles;
    const wchar_t* key;
    EValue value;
    bool perState = false;           // also Key0, Key1, ...: per state, falling back to Key
    const wchar_t* words = nullptr;  // Word: the words that mean something, '|' between
    const int* kinds = nullptr;      // read from these kinds' main sections only; -1 ends
    const wchar_t* byDefault = L"";  // what a missing key means
    const wchar_t* meaning = L"";
};

std::span<const SKnownKey> KnownKeys();

// Where keys of these roles are read, in words: "[Config]", "text
// foregrounds ([Fore@...] with Type=Text)", ...
std::wstring RolePlaces(unsigned roles, const int* kinds);

// How a value of the type is written, for the reference.
const wchar_t* ValueSyntax(EValue value);

}  // namespace Spk
