#include "interaction/interaction_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/hover.h"

namespace interaction_tests {

namespace {

std::vector<Probe*>& Probes() {
    static std::vector<Probe*> probes;
    return probes;
}

Probe* FindProbe(HWND window) {
    for (Probe* probe : Probes()) {
        if (probe->window() == window) return probe;
    }
    return nullptr;
}

}  // namespace

bool IsInputMessage(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSELEAVE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return true;
    default:
        return false;
    }
}

Probe::Probe(HWND window, bool swallowInput) : window_(window), swallowInput_(swallowInput) {
    Probes().push_back(this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
}

Probe::~Probe() {
    if (IsWindow(window_) &&
        GetWindowLongPtrW(window_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(Procedure))
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    auto& probes = Probes();
    probes.erase(std::remove(probes.begin(), probes.end(), this), probes.end());
}

int Probe::Count(UINT message) const {
    return static_cast<int>(std::count_if(arrivals_.begin(), arrivals_.end(),
                                          [message](const Arrival& a) { return a.message == message; }));
}

void Probe::OnNext(UINT message, void (*action)(HWND window)) {
    actionMessage_ = message;
    action_ = action;
}

LRESULT CALLBACK Probe::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Probe* probe = FindProbe(window);
    if (!probe) return DefWindowProcW(window, message, wParam, lParam);
    if (IsInputMessage(message)) {
        probe->arrivals_.push_back({message, wParam, lParam, Prop(window, "MOUSEFLAG"),
                                    Prop(window, "OLDSTATE"), Prop(window, "ALPHALEVEL"),
                                    Prop(window, "HDINDEX"), probe->depth_ + 1});
    }
    if (probe->action_ && probe->actionMessage_ == message) {
        auto action = probe->action_;
        probe->action_ = nullptr;
        action(window);
    }
    if (probe->swallowInput_ && IsInputMessage(message)) return ProbeResult(message);
    ++probe->depth_;
    const LRESULT result = CallWindowProcW(probe->original_, window, message, wParam, lParam);
    --probe->depth_;
    return result;
}

SkinnedForm::SkinnedForm() : testing_support::SkinnedForm({420, 320}) {}

SkinnedForm::~SkinnedForm() {
    // The probes stay in the chain until the controls are gone.
    TakeDown();
    for (Probe* probe : probes_) delete probe;
}

Probe& SkinnedForm::ProbeOf(HWND control, bool swallowInput) {
    probes_.push_back(new Probe(control, swallowInput));
    return *probes_.back();
}

void SkinnedForm::Attach() {
    testing_support::SkinnedForm::Attach();
    // What the attach brought them, so that later arrivals are the test's own.
    for (Probe* probe : probes_) probe->Clear();
}

intptr_t Prop(HWND window, const char* name) {
    return reinterpret_cast<intptr_t>(GetPropA(window, name));
}

void PointerAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
}

bool LeaveTracked(HWND window) {
    TRACKMOUSEEVENT query{sizeof(query), TME_QUERY, nullptr, 0};
    if (!TrackMouseEvent(&query)) return false;
    return (query.dwFlags & TME_LEAVE) && query.hwndTrack == window;
}

void CancelLeaveTracking(HWND window) {
    TRACKMOUSEEVENT cancel{sizeof(cancel), TME_CANCEL | TME_LEAVE, window, 0};
    TrackMouseEvent(&cancel);
}

bool TimerRuns(HWND window) {
    if (!KillTimer(window, skin::FadeTimerId())) return false;
    SetTimer(window, skin::FadeTimerId(), 15, nullptr);
    return true;
}

void PaintSentinel(HWND window, int x, int y, int width, int height) {
    HDC dc = GetWindowDC(window);
    HBRUSH brush = CreateSolidBrush(kSentinel);
    RECT rect{x, y, x + width, y + height};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

LPARAM At(int x, int y) {
    return static_cast<LPARAM>(static_cast<DWORD>(static_cast<WORD>(x)) |
                               (static_cast<DWORD>(static_cast<WORD>(y)) << 16));
}

COLORREF Blend(COLORREF face, COLORREF old, int alpha) {
    auto channel = [alpha](int f, int o) {
        return (f * alpha + o * (255 - alpha) + 127) / 255;
    };
    return RGB(channel(GetRValue(face), GetRValue(old)), channel(GetGValue(face), GetGValue(old)),
               channel(GetBValue(face), GetBValue(old)));
}

bool Near(COLORREF actual, COLORREF expected, int tolerance) {
    return std::abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           std::abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           std::abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

std::string Hex(COLORREF colour) {
    char text[16];
    std::snprintf(text, sizeof(text), "%06lX", static_cast<unsigned long>(colour & 0xFFFFFF));
    return text;
}

}  // namespace interaction_tests
