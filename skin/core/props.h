// Per-window state of the skin. Every value is published as a window property named by an
// upper-case ASCII word (an absent property reads as 0), so any code in the process can read it;
// the engine itself reads its own copy, a record kept in the process for each window it links
// into, because under Wine every property read is a round trip to the server.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/visual_state.h"

namespace skin {

inline constexpr char kPropProcAddr[] = "PROCADDR";
inline constexpr char kPropOldStyle[] = "OLDSTYLE";
inline constexpr char kPropOldState[] = "OLDSTATE";
inline constexpr char kPropMouseFlag[] = "MOUSEFLAG";
inline constexpr char kPropTimerId[] = "TIMERID";
inline constexpr char kPropAlphaLevel[] = "ALPHALEVEL";
inline constexpr char kPropHdIndex[] = "HDINDEX";
inline constexpr char kPropHmIndex[] = "HMINDEX";

enum class ControlKind {
    Form,
    PushButton,
    ComboBox,
    DriveList,
    CheckBox,
    OptionButton,
    Header,
    ProgressBar,
    DataList,
    DropDownList,
    Grid,
    Other,
    // The whole look's own kinds (AttachSkinEx): controls of the platform's classes that plain
    // AttachSkin leaves in their own look.
    ButtonCheckBox,  // "button" check box or three-state box, automatic or not
    ButtonOption,    // "button" option (radio) button, automatic or not
    GroupBox,        // "button" group box
    TabControl,      // "systabcontrol32"
    UpDown,          // "msctls_updown32"
    Trackbar,        // "msctls_trackbar32"
    ProgressControl,  // "msctls_progress32"
    StatusBar,        // "msctls_statusbar32"
    Toolbar,          // "toolbarwindow32"
    ListView,         // "syslistview32": its check boxes
    TreeView,         // "systreeview32": its check boxes
    DateTimePicker,   // "sysdatetimepick32": its drop button
    EditLikeField,    // "msctls_hotkey32", "sysipaddress32": framed like an edit field
    ScrollBar,       // "scrollbar"
};

// How the skin's procedure sits in a window's chain of procedures.
enum class Link {
    Attaching,    // being set up; the procedure is not installed yet
    Attached,     // skinned: the properties are on the window, messages are routed
    Detaching,    // being taken off: counted off, messages still routed
    Waiting,      // made inside a skinned window: attached when it first paints
    PassThrough,  // detached while other code had subclassed on top: forwards everything
};

// Every published value of a window, by slot.
enum PropSlot : int {
    SlotProcAddr,
    SlotOldStyle,
    SlotOldState,
    SlotMouseFlag,
    SlotTimerId,
    SlotAlphaLevel,
    SlotHdIndex,
    SlotHmIndex,
    SlotSurface0,
    SlotBitmap0 = SlotSurface0 + kStateCount,
    kSlotCount = SlotBitmap0 + kStateCount,
};

// Set in a record's options by AttachSkinEx, whatever options it was given: the whole tree is
// skinned, whatever the classes.
inline constexpr DWORD kWholeTree = 0x80000000u;
// Given with the window AttachSkinEx names, never kept: that window takes everything inside it
// along, whatever its class.
inline constexpr DWORD kTreeRoot = 0x40000000u;

// A skinned caption's buttons: the one under the pointer and the one held down (hit-test codes,
// 0 for none), whether the held one shows pressed (the pointer is on it), whether the pointer's
// leave from the frame is asked for, whether the caption looks active (as the last WM_NCACTIVATE
// said), and whether the compositor's frame is off for the window.
struct FrameState {
    int hot = 0;
    int held = 0;
    bool heldShown = false;
    bool leaveAsked = false;
    bool active = false;
    bool compositorOff = false;
};

struct WindowRecord {
    WNDPROC previous = nullptr;  // the next procedure in the chain, also while not attached
    ControlKind kind = ControlKind::Other;
    Link link = Link::Attaching;
    HWND container = nullptr;  // for a waiting window: the skinned parent or owner it was made in
    bool holdsWaiting = false;  // windows were made inside this one that wait for their first paint
    bool holdsTree = false;  // attach took every window inside it along; detach does too
    DWORD options = 0;  // the form's AttachSkinEx options (kWholeTree set for AttachSkinEx at all)
    bool ownRegion = false;  // a push button with a window region of the program's: it stays
    intptr_t values[kSlotCount] = {};
    FrameState frame;
};

// "0HDC" .. "3HDC": the push button's state surface of that state; "0BMP" .. "3BMP": its bitmap.
const char* StateSurfaceKey(int state);
const char* StateBitmapKey(int state);

// Read from the record; 0 for a window the skin has no record of or a name it does not own.
intptr_t GetSkinProp(HWND window, const char* name);
// Written to the window's property and, when the skin has a record of the window, to the record.
void SetSkinProp(HWND window, const char* name, intptr_t value);
void RemoveSkinProp(HWND window, const char* name);

// The push button's state surface (memory context) for a state, 0 when there is none.
HDC GetStateSurface(HWND window, int state);

// The records, one per window the skin's procedure is linked into, of the calling thread's windows.
WindowRecord* FindRecord(HWND window);
WindowRecord& CreateRecord(HWND window);
void EraseRecord(HWND window);
size_t RecordCount();
std::vector<HWND> RecordedWindows();

// Whether the window is skinned now (PROCADDR set through the engine).
bool IsAttached(HWND window);

// The kind recorded at attach; Other for a window that is not attached.
ControlKind AttachedKind(HWND window);

}  // namespace skin
