#include "message_fuzzer.h"

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "../support/dialog_template.h"
#include "../support/gdi_accounting.h"
#include "../support/message_pump.h"
#include "../support/window_names.h"
#include "control_classes.h"
#include "dorrik_skin.h"

namespace reliability {

using testing_support::LowerClassName;
using testing_support::PumpMessages;

namespace {

// ---- what the watchdog watches ----

std::atomic<long long> progress{0};
std::atomic<uint32_t> currentSeed{0};
std::atomic<long long> currentStep{0};
std::atomic<bool> watchdogStarted{false};
int watchdogSeconds = 60;
// What the step under way does, for the watchdog's message (read only when the step is stuck).
char currentAction[200] = "";

// The window a message step sends to; 0 for an event.
HWND currentTarget = nullptr;

void NoteAction(uint32_t seed, long long step, const std::string& action, HWND target) {
    currentSeed = seed;
    currentStep = step;
    currentTarget = target;
    std::snprintf(currentAction, sizeof(currentAction), "%s", action.c_str());
}

DWORD watchedThreadId = 0;

// The stuck step's window and its siblings, in order, as the platform's group walks see them.
void PrintTargetSiblings() {
    HWND parent = currentTarget ? GetParent(currentTarget) : nullptr;
    if (!parent) return;
    std::fprintf(stderr, "fuzz: target %p, parent %p, siblings:\n", static_cast<void*>(currentTarget),
                 static_cast<void*>(parent));
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, 63);
        std::fprintf(stderr, "  %p %s style %08lx exstyle %08lx%s%s\n", static_cast<void*>(child),
                     name, static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE)),
                     static_cast<unsigned long>(GetWindowLongW(child, GWL_EXSTYLE)),
                     IsWindowEnabled(child) ? "" : " disabled",
                     IsWindowVisible(child) ? "" : " hidden");
    }
}

// Where a stuck step is: the stopped thread's instruction pointer and every value on its stack
// that points into a loaded module, as "module+offset" (give the offset plus the image base to
// addr2line, or look it up in the module's exports).
void PrintWhereStuck() {
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, watchedThreadId);
    if (!thread) return;
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL;
    const bool suspended = SuspendThread(thread) != static_cast<DWORD>(-1);
    if (suspended && GetThreadContext(thread, &context)) {
#ifdef _WIN64
        const ULONG_PTR ip = context.Rip, sp = context.Rsp;
#else
        const ULONG_PTR ip = context.Eip, sp = context.Esp;
#endif
        auto describe = [](ULONG_PTR address) {
            HMODULE module = nullptr;
            char name[MAX_PATH] = "?";
            if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                        GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                    reinterpret_cast<LPCSTR>(address), &module))
                return false;
            GetModuleFileNameA(module, name, MAX_PATH);
            const char* base = std::strrchr(name, '\\');
            std::fprintf(stderr, "  %s+0x%llx\n", base ? base + 1 : name,
                         static_cast<unsigned long long>(address -
                                                         reinterpret_cast<ULONG_PTR>(module)));
            return true;
        };
        std::fprintf(stderr, "fuzz: stuck at\n");
        describe(ip);
        std::fprintf(stderr, "fuzz: return addresses on the stack\n");
        int found = 0;
        for (ULONG_PTR at = sp; found < 40 && at < sp + 64 * 1024; at += sizeof(ULONG_PTR)) {
            ULONG_PTR value = 0;
            SIZE_T read = 0;
            if (!ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<LPCVOID>(at), &value,
                                   sizeof(value), &read))
                break;
            if (value > 0x10000 && describe(value)) ++found;
        }
    }
    if (suspended) ResumeThread(thread);
    CloseHandle(thread);
}

DWORD WINAPI WatchdogThread(LPVOID) {
    long long last = -1;
    for (;;) {
        Sleep(static_cast<DWORD>(watchdogSeconds) * 1000);
        const long long now = progress.load();
        if (now == last) {
            std::fprintf(stderr, "fuzz: no progress for %d s: seed %u, step %lld (%s)\n",
                         watchdogSeconds, currentSeed.load(), currentStep.load(), currentAction);
            for (int sample = 0; sample < 3; ++sample) {
                PrintWhereStuck();
                Sleep(700);
            }
            PrintTargetSiblings();
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        last = now;
    }
}

// ---- messages ----

struct MessageKind {
    UINT message;
    const char* name;
    int weight;
};

// Every message the skin routes, and a few it does not. Mouse moves come most often, as they do.
const MessageKind kMessages[] = {
    {WM_SIZE, "WM_SIZE", 2},
    {WM_ACTIVATE, "WM_ACTIVATE", 2},
    {WM_SETFOCUS, "WM_SETFOCUS", 2},
    {WM_KILLFOCUS, "WM_KILLFOCUS", 2},
    {WM_ENABLE, "WM_ENABLE", 2},
    {WM_PAINT, "WM_PAINT", 2},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING", 2},
    {WM_NCPAINT, "WM_NCPAINT", 2},
    {WM_KEYDOWN, "WM_KEYDOWN", 2},
    {WM_KEYUP, "WM_KEYUP", 2},
    {WM_TIMER, "WM_TIMER", 4},
    {WM_ENTERIDLE, "WM_ENTERIDLE", 2},
    {WM_CTLCOLORLISTBOX, "WM_CTLCOLORLISTBOX", 2},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE", 8},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN", 2},
    {WM_LBUTTONUP, "WM_LBUTTONUP", 2},
    {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK", 1},
    {WM_MOUSELEAVE, "WM_MOUSELEAVE", 3},
    {WM_NULL, "WM_NULL", 1},
    {WM_CANCELMODE, "WM_CANCELMODE", 1},
    {9, "message 9", 1},
};

// ---- events ----

enum class Event {
    Pump,
    AttachForm,
    AttachAny,
    DetachForm,
    DetachAny,
    DestroyAndRecreate,
    Enable,
    Resize,
    Focus,
    DropDown,
    ModelessDialog,
    ModalDialog,
    Caption,
    HeaderItems,
    Values,
    Cursor,
    StarveCreations,
};

struct EventKind {
    Event event;
    const char* name;
    int weight;
};

// The form is attached more often than it is detached, so that most messages meet a skin.
const EventKind kEvents[] = {
    {Event::Pump, "pump", 30},
    {Event::AttachForm, "attach form", 12},
    {Event::AttachAny, "attach a window", 4},
    {Event::DetachForm, "detach form", 4},
    {Event::DetachAny, "detach a window", 4},
    {Event::DestroyAndRecreate, "destroy and re-create", 4},
    {Event::Enable, "enable", 6},
    {Event::Resize, "resize", 6},
    {Event::Focus, "focus", 6},
    {Event::DropDown, "drop-down", 6},
    {Event::ModelessDialog, "modeless dialog", 3},
    {Event::ModalDialog, "modal dialog", 1},
    {Event::Caption, "caption", 3},
    {Event::HeaderItems, "header items", 3},
    {Event::Values, "values", 4},
    {Event::Cursor, "cursor", 4},
    {Event::StarveCreations, "starve creations", 2},
};

// One step in this many is an event; the others are messages.
constexpr int kStepsPerEvent = 12;

constexpr UINT kRunModalSteps = WM_APP + 1;
constexpr UINT_PTR kDialogTimeoutTimer = 0xD0;

// ---- the dialog ----

const testing_support::DialogTemplate& FuzzDialog() {
    static const testing_support::DialogTemplate dialog = [] {
        testing_support::DialogTemplate t(L"Fuzz", 20, 20, 180, 90);
        t.AddItem(L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 8, 66, 50, 14);
        t.AddItem(L"Button", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 64, 66, 50, 14);
        t.AddItem(controls::kCheckBoxClass, L"Remember", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 8, 8, 80,
                  12);
        t.AddItem(controls::kOptionButtonClass, L"Choice", BS_AUTORADIOBUTTON | WS_TABSTOP, 11, 96,
                  8, 70, 12);
        t.AddItem(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 8, 26, 80, 60);
        t.AddItem(L"Static", L"A dialog over the form", SS_LEFT, 13, 8, 46, 160, 10);
        return t;
    }();
    return dialog;
}

struct DialogStart {
    MessageFuzzer* fuzzer;
    bool modal;
};

INT_PTR CALLBACK FuzzDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* start = reinterpret_cast<const DialogStart*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER,
                          start->modal ? reinterpret_cast<LONG_PTR>(start->fuzzer) : 0);
        HWND combo = GetDlgItem(dialog, 12);
        for (const wchar_t* text : {L"red", L"green", L"blue"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (start->modal) {
            // The modal loop runs the steps itself, and ends even if they never return here.
            PostMessageW(dialog, kRunModalSteps, 0, 0);
            SetTimer(dialog, kDialogTimeoutTimer, 5000, nullptr);
        }
        return TRUE;
    }
    case kRunModalSteps:
        if (auto* fuzzer = reinterpret_cast<MessageFuzzer*>(GetWindowLongPtrW(dialog, DWLP_USER)))
            fuzzer->RunInsideModalLoop(dialog);
        EndDialog(dialog, 0);
        return TRUE;
    case WM_TIMER:
        if (wParam == kDialogTimeoutTimer) EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            if (GetWindowLongPtrW(dialog, DWLP_USER))
                EndDialog(dialog, LOWORD(wParam));
            else
                DestroyWindow(dialog);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

bool IsAutoRadioButton(HWND window) {
    const std::string name = LowerClassName(window);
    return (name == "button" || name == "thunderrt6optionbutton") &&
           (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// The platform's own auto radio button (Wine's, at least) loops for ever when a click on it
// completes while it is disabled or hidden: it unchecks the rest of its group by walking the
// group from itself, and the walk never returns a disabled or hidden control. Unskinned buttons do
// the same, so those releases are held back rather than reported as a hang of the skin.
// A drop-down list that is pressed beside its client area, on its scroll bar, passes the press on
// as a non-client one, and the platform's scroll bar then tracks the mouse in a loop of its own
// until the real button goes up, which in a run of made-up messages never happens.
bool PressWouldTrackTheScrollBar(HWND target, UINT message, LPARAM lParam) {
    if (message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK) return false;
    if (LowerClassName(target) != "combolbox") return false;
    RECT client{};
    GetClientRect(target, &client);
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return !PtInRect(&client, point);
}

bool ReleaseWouldNeverReturn(HWND target, UINT message, WPARAM wParam) {
    if (message != WM_LBUTTONUP && !(message == WM_KEYUP && wParam == VK_SPACE)) return false;
    if (!IsAutoRadioButton(target)) return false;
    return (GetWindowLongW(target, GWL_STYLE) & (WS_VISIBLE | WS_DISABLED)) != WS_VISIBLE;
}

}  // namespace

void StartFuzzWatchdog(int seconds) {
    if (watchdogStarted.exchange(true)) return;
    watchdogSeconds = seconds;
    watchedThreadId = GetCurrentThreadId();
    HANDLE thread = CreateThread(nullptr, 0, WatchdogThread, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);
}

MessageFuzzer::MessageFuzzer(uint32_t seed)
    : seed_(seed),
      random_(seed),
      messageCounts_(std::size(kMessages)),
      eventCounts_(std::size(kEvents)) {
    controls::RegisterControlClasses();
    form_ = CreateEveryKindForm(40, 40);
    otherForm_ = CreateWindowExW(0, controls::kFormClass, L"Other form", WS_POPUP | WS_VISIBLE, 620,
                                 40, 160, 90, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    controls::CreateControl(L"Button", L"Elsewhere", otherForm_, 10, 10, 100, 30);
    popup_ = CreateWindowExW(0, L"Static", L"Popup", WS_POPUP | WS_VISIBLE | WS_BORDER, 620, 160,
                             120, 40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    scratch_ = CreateCompatibleDC(nullptr);
    if (Chance(70)) AttachSkin(form_.form);
    PumpMessages();
    RefreshWindows();
}

MessageFuzzer::~MessageFuzzer() {
    Finish();
    if (scratch_) DeleteDC(scratch_);
}

bool MessageFuzzer::Finish() {
    for (int kind = 0; kind < testing_support::kObjectKinds; ++kind)
        testing_support::FailCreations(static_cast<testing_support::ObjectKind>(kind), 0);
    for (HWND window : {modeless_, popup_, otherForm_, form_.form})
        if (IsWindow(window)) DestroyWindow(window);
    modeless_ = popup_ = otherForm_ = form_.form = nullptr;
    PumpMessages();
    action_ = "finish";
    return Check();
}

uint32_t MessageFuzzer::Next() { return static_cast<uint32_t>(random_()); }
int MessageFuzzer::Below(int n) {
    return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n));
}
bool MessageFuzzer::Chance(int percent) { return Below(100) < percent; }

// The windows of this thread, found once per step; messages go to the ones made here (not to
// the platform's own hidden windows).
void MessageFuzzer::RefreshWindows() {
    threadWindows_ = ThreadWindows();
    targets_.clear();
    for (HWND window : threadWindows_) {
        const std::string name = LowerClassName(window);
        if (name != "ime" && name != "msctfime ui") targets_.push_back(window);
    }
}

HWND MessageFuzzer::AnyTarget() {
    if (targets_.empty()) return nullptr;
    return targets_[static_cast<size_t>(Below(static_cast<int>(targets_.size())))];
}

// A window handle as a parameter: a live window, none, one already destroyed, or garbage.
HWND MessageFuzzer::WindowParameter() {
    const int pick = Below(100);
    if (pick < 45) return AnyTarget();
    if (pick < 65) return nullptr;
    if (pick < 80 && !destroyed_.empty())
        return destroyed_[static_cast<size_t>(Below(static_cast<int>(destroyed_.size())))];
    if (pick < 90) return Chance(50) ? otherForm_ : modeless_;
    const auto garbage = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(Next() | 0x10000u));
    return IsWindow(garbage) ? nullptr : garbage;
}

void MessageFuzzer::SendRandomMessage(bool mayPost) {
    HWND target = AnyTarget();
    if (!target) return;
    int total = 0;
    for (const MessageKind& kind : kMessages) total += kind.weight;
    int pick = Below(total);
    const MessageKind* chosen = &kMessages[0];
    for (const MessageKind& kind : kMessages) {
        if (pick < kind.weight) {
            chosen = &kind;
            break;
        }
        pick -= kind.weight;
    }

    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool carriesPointer = false;
    WINDOWPOS position{};
    switch (chosen->message) {
    case WM_SIZE:
        wParam = static_cast<WPARAM>(Below(5));
        lParam = MAKELPARAM(Below(400), Below(200));
        break;
    case WM_ACTIVATE:
        wParam = static_cast<WPARAM>(Below(3)) | (Chance(10) ? 0x10000 : 0);
        lParam = reinterpret_cast<LPARAM>(WindowParameter());
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        wParam = reinterpret_cast<WPARAM>(WindowParameter());
        break;
    case WM_ENABLE:
        wParam = Chance(80) ? static_cast<WPARAM>(Below(2)) : Next();
        break;
    case WM_WINDOWPOSCHANGING:
        position.hwnd = target;
        position.hwndInsertAfter = Chance(50) ? HWND_TOP : WindowParameter();
        position.x = Below(600) - 100;
        position.y = Below(400) - 100;
        position.cx = Below(400);
        position.cy = Below(200);
        position.flags = Next() & 0x3FF;
        lParam = reinterpret_cast<LPARAM>(&position);
        carriesPointer = true;
        break;
    case WM_NCPAINT: {
        // The update region (1: the whole window). A region handed over here belongs to whoever
        // handles the message, so only values that name no object are made up.
        const int pick = Below(3);
        if (pick == 0) wParam = 1;
        if (pick == 2) {
            wParam = Next() | 0x10000u;
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(wParam)) != 0) wParam = 1;
        }
        break;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
        wParam = Chance(50) ? VK_SPACE : static_cast<WPARAM>(Below(256));
        lParam = static_cast<LPARAM>(Next());
        break;
    case WM_TIMER:
        wParam = Chance(70) ? 1 : Next();
        break;
    case WM_ENTERIDLE:
        wParam = Chance(50) ? MSGF_DIALOGBOX : MSGF_MENU;
        lParam = reinterpret_cast<LPARAM>(WindowParameter());
        break;
    case WM_CTLCOLORLISTBOX:
        wParam = reinterpret_cast<WPARAM>(Chance(50) ? scratch_ : nullptr);
        lParam = reinterpret_cast<LPARAM>(WindowParameter());
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        wParam = Next() & (MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL | MK_MBUTTON);
        if (Chance(90))
            lParam = MAKELPARAM(Below(300) - 20, Below(120) - 20);
        else
            lParam = static_cast<LPARAM>(Next());
        break;
    default:
        break;
    }

    std::ostringstream action;
    action << chosen->name << " to " << LowerClassName(target) << " " << target << " (" << wParam << ", "
           << lParam << ")";
    action_ = action.str();
    NoteAction(seed_, steps_, action_, target);
    // A release posted to an option button could find it disabled by the time it arrives, a press
    // posted to a drop-down list could find it moved or resized: those are sent at once.
    const bool sendNow =
        ((chosen->message == WM_LBUTTONUP || chosen->message == WM_KEYUP) &&
         IsAutoRadioButton(target)) ||
        LowerClassName(target) == "combolbox";
    if (ReleaseWouldNeverReturn(target, chosen->message, wParam) ||
        PressWouldTrackTheScrollBar(target, chosen->message, lParam)) {
        ++heldBack_;
        return;
    }
    if (mayPost && !carriesPointer && !sendNow && Chance(10))
        PostMessageW(target, chosen->message, wParam, lParam);
    else
        SendMessageW(target, chosen->message, wParam, lParam);
    ++messageCounts_[static_cast<size_t>(chosen - kMessages)];
    ++messages_;
}

void MessageFuzzer::RememberDestroyed(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
        if (IsWindow(window)) continue;
        if (destroyed_.size() >= 64) destroyed_.erase(destroyed_.begin());
        destroyed_.push_back(window);
    }
}

void MessageFuzzer::DestroyAndRecreate() {
    const std::vector<HWND> before = targets_;
    const int pick = Below(20);
    if (pick == 0) {
        // The whole form, and a new one, skinned or not.
        DestroyWindow(form_.form);
        form_ = CreateEveryKindForm(40, 40);
        if (Chance(70)) AttachSkin(form_.form);
    } else if (pick == 1) {
        DestroyWindow(otherForm_);
        otherForm_ =
            CreateWindowExW(0, controls::kFormClass, L"Other form", WS_POPUP | WS_VISIBLE, 620, 40,
                            160, 90, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        controls::CreateControl(L"Button", L"Elsewhere", otherForm_, 10, 10, 100, 30);
    } else {
        // One control; whatever is missing afterwards is made again, unskinned.
        const Slot slot = static_cast<Slot>(Below(kSlotCount));
        DestroyWindow(form_.children[slot]);
        if (Chance(70)) {
            for (int s = 0; s < kSlotCount; ++s)
                if (!IsWindow(form_.children[s])) CreateSlot(form_, static_cast<Slot>(s));
        }
    }
    RememberDestroyed(before);
}

void MessageFuzzer::OpenOrCloseModelessDialog() {
    if (IsWindow(modeless_)) {
        const std::vector<HWND> before = targets_;
        DestroyWindow(modeless_);
        modeless_ = nullptr;
        RememberDestroyed(before);
        return;
    }
    DialogStart start{this, false};
    HWND owner = Chance(80) ? form_.form : nullptr;
    modeless_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), FuzzDialog().get(), owner,
                                           FuzzDialogProc, reinterpret_cast<LPARAM>(&start));
}

void MessageFuzzer::RunModalDialog() {
    if (modalDepth_ > 0 || !IsWindow(form_.form)) return;
    ++modalDepth_;
    DialogStart start{this, true};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), FuzzDialog().get(), form_.form,
                            FuzzDialogProc, reinterpret_cast<LPARAM>(&start));
    --modalDepth_;
}

// Messages only: the form must outlive the loop that the dialog runs over it.
void MessageFuzzer::RunInsideModalLoop(HWND dialog) {
    const int count = 20 + Below(60);
    for (int i = 0; i < count && IsWindow(dialog) && failure_.empty(); ++i) {
        ++steps_;
        ++progress;
        SendRandomMessage(false);
        if (Chance(10)) PumpMessages();
        Check();
    }
}

void MessageFuzzer::RunRandomEvent() {
    int total = 0;
    for (const EventKind& kind : kEvents) total += kind.weight;
    int pick = Below(total);
    size_t chosen = 0;
    while (pick >= kEvents[chosen].weight) pick -= kEvents[chosen++].weight;
    action_ = kEvents[chosen].name;
    NoteAction(seed_, steps_, action_, nullptr);
    ++eventCounts_[chosen];

    switch (kEvents[chosen].event) {
    case Event::Pump:
        PumpMessages();
        break;
    case Event::AttachForm:
        AttachSkin(form_.form);
        break;
    case Event::AttachAny:
        AttachSkin(WindowParameter());
        break;
    case Event::DetachForm:
        DetachSkin(form_.form);
        break;
    case Event::DetachAny:
        DetachSkin(WindowParameter());
        break;
    case Event::DestroyAndRecreate:
        DestroyAndRecreate();
        break;
    case Event::Enable:
        EnableWindow(AnyTarget(), Chance(60));
        break;
    case Event::Resize:
        SetWindowPos(AnyTarget(), nullptr, 0, 0, Below(300), Below(120),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    case Event::Focus:
        SetFocus(AnyTarget());
        break;
    case Event::DropDown: {
        const Slot combos[] = {kCombo, kListCombo, kDriveList};
        SendMessageW(form_.children[combos[Below(3)]], CB_SHOWDROPDOWN, Chance(60), 0);
        break;
    }
    case Event::ModelessDialog:
        OpenOrCloseModelessDialog();
        break;
    case Event::ModalDialog:
        RunModalDialog();
        break;
    case Event::Caption: {
        const int lengths[] = {0, 1, 12, 300, 10000};
        const std::wstring text(static_cast<size_t>(lengths[Below(5)]),
                                static_cast<wchar_t>(L'A' + Below(26)));
        SetWindowTextW(AnyTarget(), text.c_str());
        break;
    }
    case Event::HeaderItems: {
        HWND header = form_.children[kHeader];
        if (Chance(50)) {
            const int lengths[] = {0, 5, 254, 255, 256, 1000};
            std::wstring text(static_cast<size_t>(lengths[Below(6)]), L'h');
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            item.cxy = Below(120);
            item.pszText = text.data();
            SendMessageW(header, HDM_INSERTITEMW, static_cast<WPARAM>(Below(8)),
                         reinterpret_cast<LPARAM>(&item));
        } else {
            SendMessageW(header, HDM_DELETEITEM, static_cast<WPARAM>(Below(8)), 0);
        }
        break;
    }
    case Event::Values:
        SendMessageW(form_.children[kCheckBox], BM_SETCHECK, static_cast<WPARAM>(Below(3)), 0);
        SendMessageW(form_.children[Chance(50) ? kOption1 : kOption2], BM_SETCHECK,
                     static_cast<WPARAM>(Below(2)), 0);
        SendMessageW(form_.children[kProgressBar], PBM_SETPOS, static_cast<WPARAM>(Below(40000)),
                     0);
        SendMessageW(form_.children[kListCombo], CB_SETCURSEL, static_cast<WPARAM>(Below(5)) - 1,
                     0);
        break;
    case Event::Cursor:
        SetCursorPos(Below(800), Below(400));
        break;
    case Event::StarveCreations:
        // The next few contexts, bitmaps, regions, brushes or palettes cannot be made.
        testing_support::FailCreations(
            static_cast<testing_support::ObjectKind>(Below(testing_support::kObjectKinds)),
            Chance(80) ? 1 + Below(4) : 0);
        break;
    }
}

bool MessageFuzzer::Check() {
    if (!failure_.empty()) return false;
    RefreshWindows();
    const std::string problem = CheckSkinInvariants(threadWindows_, &skinnedClasses_);
    if (problem.empty()) return true;
    std::ostringstream text;
    text << "seed " << seed_ << ", step " << steps_ << " (" << action_ << "): " << problem;
    failure_ = text.str();
    return false;
}

std::string MessageFuzzer::Coverage() const {
    std::ostringstream text;
    text << "messages:";
    for (size_t i = 0; i < std::size(kMessages); ++i)
        text << " " << kMessages[i].name << " " << messageCounts_[i] << ";";
    text << "\nevents:";
    for (size_t i = 0; i < std::size(kEvents); ++i)
        text << " " << kEvents[i].name << " " << eventCounts_[i] << ";";
    text << "\nheld back (the platform's own controls would wait for ever): " << heldBack_;
    text << "\nskinned:";
    for (const std::string& name : skinnedClasses_) text << " " << name;
    return text.str();
}

bool MessageFuzzer::Step() {
    if (!failure_.empty()) return false;
    ++steps_;
    ++progress;
    currentSeed = seed_;
    if (Below(kStepsPerEvent) == 0)
        RunRandomEvent();
    else
        SendRandomMessage(true);
    return Check();
}

bool MessageFuzzer::Run(long long messages) {
    const long long until = messages_ + messages;
    while (messages_ < until) {
        if (!Step()) return false;
    }
    return true;
}

}  // namespace reliability
