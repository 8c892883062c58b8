// Window classes for the skin's control kinds that the platform has no windows of. Each is a
// superclass of the standard control that behaves the same, so a skinned window of every kind
// can be made on a real control that paints and answers messages.
#pragma once

#include <windows.h>

namespace controls {

// Class names, as the form designer's run time registers them.
inline constexpr wchar_t kFormClass[] = L"ThunderFormDC";                // plain form
inline constexpr wchar_t kCheckBoxClass[] = L"ThunderRT6CheckBox";       // Button, check box
inline constexpr wchar_t kOptionButtonClass[] = L"ThunderRT6OptionButton";  // Button, radio
inline constexpr wchar_t kComboBoxClass[] = L"ThunderRT6ComboBox";       // ComboBox
inline constexpr wchar_t kDriveListClass[] = L"ThunderRT6DriveListBox";  // ComboBox, drop-down list
inline constexpr wchar_t kProgressBarClass[] = L"ProgressBar20WndClass";  // msctls_progress32
inline constexpr wchar_t kDataListClass[] = L"DataListWndClass";         // ListBox
inline constexpr wchar_t kGridClass[] = L"ApexGridOleDB32";              // SysListView32, report

// Registers every class above once per process (later calls do nothing). Returns false when a
// class could not be registered.
bool RegisterControlClasses();

// Creates a control of one of the classes above (or any other class) as a visible child, with
// the styles that make it what its class name says; extraStyle is added to them.
HWND CreateControl(const wchar_t* className, const wchar_t* text, HWND parent, int x, int y,
                   int width, int height, DWORD extraStyle = 0, int id = 0);

// Fills a drive list (or any combo box) with the machine's drives, "c: [label]" style.
void FillDriveList(HWND driveList);

}  // namespace controls
