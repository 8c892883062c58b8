// A dialog template in memory (the dialog, then its items), in dialog units. Header-only: the DLL
// example, which links nothing but the system, writes its dialog with it too.
#pragma once

#include <windows.h>

#include <vector>

namespace testing_support {

class DialogTemplate {
public:
    static constexpr DWORD kDialogStyle =
        DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    // A property sheet's page: a child dialog, shown by the sheet.
    static constexpr DWORD kPageStyle = DS_SETFONT | DS_CONTROL | WS_CHILD;

    DialogTemplate(const wchar_t* title, int x, int y, int width, int height,
                   DWORD style = kDialogStyle) {
        Align();
        Add32(style);
        Add32(0);
        countAt_ = words_.size();
        Add16(0);
        for (int v : {x, y, width, height}) Add16(static_cast<WORD>(v));
        Add16(0);  // no menu
        Add16(0);  // the dialog class
        AddText(title);
        Add16(8);
        AddText(L"MS Shell Dlg");
    }

    // The predefined classes by their atom, as resource compilers write them.
    static constexpr WORD kButtonAtom = 0x80;
    static constexpr WORD kStaticAtom = 0x82;
    static constexpr WORD kComboBoxAtom = 0x85;

    void AddItem(const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y,
                 int width, int height) {
        AddItemHead(style, id, x, y, width, height);
        AddText(className);
        AddItemTail(text);
    }
    void AddItem(WORD classAtom, const wchar_t* text, DWORD style, int id, int x, int y, int width,
                 int height) {
        AddItemHead(style, id, x, y, width, height);
        Add16(0xFFFF);
        Add16(classAtom);
        AddItemTail(text);
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void AddItemHead(DWORD style, int id, int x, int y, int width, int height) {
        Align();
        Add32(style | WS_CHILD | WS_VISIBLE);
        Add32(0);
        for (int v : {x, y, width, height}) Add16(static_cast<WORD>(v));
        Add16(static_cast<WORD>(id));
    }
    void AddItemTail(const wchar_t* text) {
        AddText(text);
        Add16(0);  // no creation data
        ++words_[countAt_];
    }
    void Add16(WORD value) { words_.push_back(value); }
    void Add32(DWORD value) {
        Add16(LOWORD(value));
        Add16(HIWORD(value));
    }
    void AddText(const wchar_t* text) {
        for (; *text; ++text) Add16(static_cast<WORD>(*text));
        Add16(0);
    }
    void Align() {
        if (words_.size() % 2) Add16(0);
    }

    std::vector<WORD> words_;
    size_t countAt_ = 0;
};

}  // namespace testing_support
