/* Asks for Wine's Marlett, the font of the caption buttons' symbols, and says which face it got.
 * Exit code 0 when it is Marlett itself; otherwise the buttons would show the letters "0 1 r". */
#include <windows.h>

#include <stdio.h>

int main(void) {
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"Marlett");
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(font);
    printf("%ls\n", face);
    return lstrcmpiW(face, L"Marlett") == 0 ? 0 : 1;
}
