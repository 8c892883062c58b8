// A form that holds a window of every kind the skin knows, the checks that the skin's window
// properties agree with its count, and one full cycle of use. Shared by the reliability tests and
// the long run in bench/; no test framework in here.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace reliability {

// The children of the form, in creation order. A frame holds the two tray buttons, like Form1.
enum Slot {
    kFrame,          // Static etched frame: Other
    kCommand1,       // Button: PushButton, inside the frame
    kCommand2,       // Button: PushButton, inside the frame
    kDefaultButton,  // Button with BS_DEFPUSHBUTTON
    kButtonCheck,    // Button with BS_AUTOCHECKBOX: PushButton that keeps its own painting
    kCheckBox,       // ThunderRT6CheckBox
    kOption1,        // ThunderRT6OptionButton, first of its group
    kOption2,        // ThunderRT6OptionButton
    kCombo,          // ThunderRT6ComboBox, drop-down with an edit field
    kListCombo,      // ComboBox, drop-down list
    kSimpleCombo,    // ComboBox, simple: its list is a child
    kDriveList,      // ThunderRT6DriveListBox
    kProgressBar,    // ProgressBar20WndClass
    kDataList,       // DataListWndClass
    kGrid,           // ApexGridOleDB32, with a sunken client edge
    kHeader,         // SysHeader32 with items
    kLabel,          // Static with a sunken client edge: Other
    kSlotCount
};

struct EveryKindForm {
    HWND form = nullptr;
    HWND children[kSlotCount] = {};
};

// A visible top-level form (class ThunderFormDC) with one child per slot.
EveryKindForm CreateEveryKindForm(int x = 40, int y = 40);

// Creates the child of one slot again (after it was destroyed); the frame must exist for the
// tray buttons.
HWND CreateSlot(EveryKindForm& form, Slot slot);

// The form and all its descendants, then the drop-down lists of its combo boxes.
std::vector<HWND> FormWindows(HWND form);
std::vector<HWND> DropDownLists(HWND form);

// Every window of this thread: top-level windows and all their descendants.
std::vector<HWND> ThreadWindows();

// The skin's property names that a window's kind carries while attached.
std::vector<std::string> ExpectedProperties(HWND window);

// Empty when the skin's state is consistent: SkinnedWindowCount equals the number of windows
// carrying PROCADDR, every attached window carries exactly the properties of its kind and runs
// SkinWindowProc, every other window carries none, and the image set exists exactly while
// windows are skinned. Otherwise a description of the first thing wrong. The second form checks
// the windows given (all of the thread's) and adds the class of each skinned one to
// `skinnedClasses`, to show what a run reached.
std::string CheckSkinInvariants();
std::string CheckSkinInvariants(const std::vector<HWND>& threadWindows,
                                std::set<std::string>* skinnedClasses = nullptr);

// One cycle of use: attach, paint every window, hover, press and release, a full fade, resize,
// focus changes, disable and enable, drop the combo boxes down and close them, detach.
void RunUseCycle(EveryKindForm& form);

}  // namespace reliability
